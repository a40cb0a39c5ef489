#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"
#include "tests/support/FakeWebHandler.h"

namespace lumora {
namespace {

using namespace gui;

// Each test runs the real program anew, set to quit when its window closes, with a fake default
// web browser.
const std::vector<std::pair<const char*, const char*>> kQuitOnClose = {{"ts", "1"}, {"quit", "1"}};

class ExitExtrasGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gdk_init(nullptr, nullptr); }

  // Closes the main window once the control file was read, which asks for the exit ad; the exit
  // ad window's id once its page is asked for.
  static std::string QuitToExitAd(const ProgramRun& run) {
    EXPECT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, 20s));
    EXPECT_TRUE(WaitUntil([&] { return run.Saw("GET /box/lib/wen.txt "); }, 20s));
    Pause(500ms);  // the answer is applied as it arrives
    Box main = GeometryOf(MainWindowId());
    Click(main.x + main.width - 22, main.y + 17);  // the close button
    std::string exitAd;
    EXPECT_TRUE(WaitUntil([&] { return !(exitAd = OnlyWindow("--name ^推荐$")).empty(); }, 10s));
    EXPECT_TRUE(WaitUntil([&] { return run.Saw("GET /box/js/ads/tui.html "); }, 5s));
    return exitAd;
  }

  // The update offer comes about 6 s after start; true once it is up and has the keyboard.
  static bool WaitForOfferWithFocus() {
    std::string offer;
    return WaitUntil([&] { return !(offer = OnlyWindow("--name ^提示：$")).empty(); }, 25s) &&
           WaitUntil([&] { return Shell("xdotool getactivewindow") == offer + "\n"; }, 5s);
  }

  test::FakeWebHandler browser_;
};

TEST_F(ExitExtrasGuiTest, ExitAdReplacesTheMainWindowAndItsClosePictureEndsTheProgram) {
  ProgramRun run(kQuitOnClose);
  std::string exitAd = QuitToExitAd(run);
  ASSERT_FALSE(exitAd.empty());
  EXPECT_TRUE(LumoraWindows().empty()) << "the main window is hidden";
  Box box = GeometryOf(exitAd);
  EXPECT_EQ(box.width, 299);
  EXPECT_EQ(box.height, 247);
  GdkRectangle screen;
  gdk_monitor_get_geometry(gdk_display_get_primary_monitor(gdk_display_get_default()), &screen);
  EXPECT_NEAR(box.x, (screen.width - 299) / 2, 1);
  EXPECT_NEAR(box.y, (screen.height - 247) / 2, 1);

  // The close picture's orange cross appears after a second, at the top right.
  auto crossShown = [&] {
    guint32 pixel = ScreenPixel(box.x + 244 + 11, box.y + 5 + 10);
    return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0xB0 && (pixel & 0xFF) < 0x60;
  };
  ASSERT_TRUE(WaitUntil(crossShown, 5s));
  g_object_unref(Screenshot("exit-ad.png"));
  auto clicked = std::chrono::steady_clock::now();
  Click(box.x + 244 + 25, box.y + 5 + 10);
  EXPECT_TRUE(run.Ended(10s));
  EXPECT_LT(std::chrono::steady_clock::now() - clicked, 10s) << "ended by the click";
}

TEST_F(ExitExtrasGuiTest, ALinkOfTheExitAdOpensInTheBrowserAndEndsTheProgram) {
  ProgramRun run(kQuitOnClose);
  std::string exitAd = QuitToExitAd(run);
  ASSERT_FALSE(exitAd.empty());
  Pause(1s);  // the page lays out its links
  Box box = GeometryOf(exitAd);
  Click(box.x + 120, box.y + 62);  // the first recommendation
  EXPECT_TRUE(run.Ended(10s));
  EXPECT_TRUE(WaitUntil([&] { return !browser_.Opened().empty(); }, 10s));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{run.server.SiteUrl()});
}

TEST_F(ExitExtrasGuiTest, OfferEscapedKeepsTheProgramAndTheMenuOffersAgainWhereEnterDownloads) {
  ProgramRun run(kQuitOnClose, "9.1");
  ASSERT_TRUE(WaitForOfferWithFocus());
  Shell("xdotool key Escape");
  ASSERT_TRUE(WaitUntil([] { return OnlyWindow("--name ^提示：$").empty(); }, 5s));
  Pause(1s);
  EXPECT_EQ(waitpid(run.pid, nullptr, WNOHANG), 0) << "the program runs on";
  EXPECT_EQ(LumoraWindows().size(), 1u);

  size_t before = MappedTopWindows().size();
  Box main = GeometryOf(MainWindowId());
  Click(main.x + main.width - 152, main.y + 17);  // the menu button
  ASSERT_TRUE(WaitUntil([&] { return MappedTopWindows().size() > before; }, 5s));
  Shell("xdotool key Down Down Down Down Return");  // "升级检测", past the separator
  ASSERT_TRUE(WaitForOfferWithFocus());
  g_object_unref(Screenshot("update-offer.png"));
  Shell("xdotool key Return");
  EXPECT_TRUE(run.Ended(10s));
  EXPECT_TRUE(WaitUntil([&] { return !browser_.Opened().empty(); }, 10s));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{run.server.BaseUrl() + "update/update.exe"})
      << "only after Yes";
  EXPECT_FALSE(run.Saw("GET /box/js/ads/tui.html "));
}

}  // namespace
}  // namespace lumora
