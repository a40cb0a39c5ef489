#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <utility>
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

  // The update offer comes about 6 s after start; succeeds once it is up and has the keyboard.
  static ::testing::AssertionResult WaitForOfferWithFocus() {
    std::string offer;
    auto shown = WaitFor(
        "the update offer", [&] { return !(offer = OnlyWindow("--name ^提示：$")).empty(); }, 25s);
    if (!shown) return shown;
    return WaitFor(
        "the offer to have the keyboard",
        [&] { return Shell("xdotool getactivewindow") == offer + "\n"; }, 5s);
  }

  test::FakeWebHandler browser_;
};

// Its close picture ends the program; so does a link, which reaches the browser.
TEST_F(ExitExtrasGuiTest, ExitAdReplacesTheMainWindowAndItsCloseOrALinkEndsTheProgram) {
  for (bool link : {false, true}) {
    ProgramRun run(kQuitOnClose);
    // The close button, once the control file that asks for the exit ad is applied: the ticker it
    // also switches on is asked for last.
    ASSERT_TRUE(WaitFor(
        "the main window", [] { return LumoraWindows().size() == 1; }, 20s));
    ASSERT_TRUE(WaitFor(
        "the ticker list", [&] { return run.Saw("GET /box/lib/gun.txt "); }, 20s));
    Box main = GeometryOf(MainWindowId());
    ClickOnScreen(main.x + main.width - 22, main.y + 17);
    std::string exitAd;
    ASSERT_TRUE(WaitFor(
        "the exit ad", [&] { return !(exitAd = OnlyWindow("--name ^推荐$")).empty(); }, 10s));
    EXPECT_TRUE(WaitFor(
        "the exit ad's page", [&] { return run.Saw("GET /box/js/ads/tui.html "); }, 5s));
    EXPECT_TRUE(LumoraWindows().empty()) << "the main window is hidden";
    Box box = GeometryOf(exitAd);
    EXPECT_EQ(std::pair(box.width, box.height), std::pair(299, 247));
    GdkRectangle screen;
    gdk_monitor_get_geometry(gdk_display_get_primary_monitor(gdk_display_get_default()), &screen);
    EXPECT_NEAR(box.x, (screen.width - 299) / 2, 1);
    EXPECT_NEAR(box.y, (screen.height - 247) / 2, 1);

    // The close picture's orange cross appears after a second, at the top right; by then the
    // page has laid out its links.
    ASSERT_TRUE(WaitFor(
        "the close picture's orange cross",
        [&] {
          guint32 pixel = ScreenPixel(box.x + 244 + 11, box.y + 5 + 10);
          return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0xB0 && (pixel & 0xFF) < 0x60;
        },
        5s));
    if (link) {
      ClickOnScreen(box.x + 120, box.y + 62);  // the first recommendation
    } else {
      g_object_unref(Screenshot("exit-ad.png"));
      ClickOnScreen(box.x + 244 + 25, box.y + 5 + 10);
    }
    EXPECT_TRUE(run.Ended(10s)) << link;
    if (link) {
      EXPECT_TRUE(WaitFor(
          "the browser", [&] { return !browser_.Opened().empty(); }, 10s));
    }
    EXPECT_EQ(browser_.Opened(),
              link ? std::vector<std::string>{run.server.SiteUrl()} : std::vector<std::string>{});
  }
}

TEST_F(ExitExtrasGuiTest, OfferEscapedKeepsTheProgramAndTheMenuOffersAgainWhereEnterDownloads) {
  ProgramRun run(kQuitOnClose, "9.1");
  ASSERT_TRUE(WaitForOfferWithFocus());
  size_t escaped = run.server.RequestLog().size();
  Shell("xdotool key Escape");
  ASSERT_TRUE(WaitFor(
      "the offer to go", [] { return OnlyWindow("--name ^提示：$").empty(); }, 5s));
  // What the control file asks for after the offer: the ticker list.
  ASSERT_TRUE(WaitFor(
      "the ticker list", [&] { return run.Saw("GET /box/lib/gun.txt ", escaped); }, 10s));
  EXPECT_EQ(LumoraWindows().size(), 1u) << "the program runs on";

  // "升级检测", past the separator.
  ASSERT_TRUE(ChooseFromTheProgramMenu("Down Down Down Down Return"));
  ASSERT_TRUE(WaitForOfferWithFocus());
  g_object_unref(Screenshot("update-offer.png"));
  Shell("xdotool key Return");
  EXPECT_TRUE(run.Ended(10s));
  EXPECT_TRUE(WaitFor(
      "the browser", [&] { return !browser_.Opened().empty(); }, 10s));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{run.server.BaseUrl() + "update/update.exe"})
      << "only after Yes";
  EXPECT_FALSE(run.Saw("GET /box/js/ads/tui.html "));
}

}  // namespace
}  // namespace lumora
