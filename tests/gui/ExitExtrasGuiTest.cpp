#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/FakeWebHandler.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace gui;
using std::chrono::seconds;

// The visible window with this exact title, "" when there is none.
std::string VisibleWindow(const std::string& title) {
  std::vector<std::string> ids =
      Lines(Shell("xdotool search --onlyvisible --name '^" + title + "$'"));
  return ids.empty() ? "" : ids.front();
}

void SaveScreen(const std::string& name) {
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                               gdk_window_get_height(root));
  std::filesystem::create_directories(LUMORA_ARTIFACT_DIR);
  gdk_pixbuf_save(shot, (std::string(LUMORA_ARTIFACT_DIR "/") + name).c_str(), "png", nullptr,
                  nullptr);
  g_object_unref(shot);
}

// One run of the real program in a directory of its own; closing its window quits it. Start it
// while the test's fake web handler lives.
class Program {
 public:
  Program() {
    IniWrite(dir_ / "config.dll", "S_q", "ts", "1");
    IniWrite(dir_ / "config.dll", "S_q", "quit", "1");
    pid_ = StartProgramIn(dir_.Path());
  }
  ~Program() {
    if (!ended_) StopProcess(pid_);
  }

  // True once the program ended of its own accord, with status 0.
  bool WaitForEnd(std::chrono::milliseconds limit) {
    int status = -1;
    ended_ = WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
    return ended_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  bool Running() { return !ended_ && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  test::TempDir dir_;
  GPid pid_ = 0;
  bool ended_ = false;
};

class ExitExtrasGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    server_ = new DemoServer(LUMORA_TEST_SITE_DIR);
    server_->Start(LUMORA_DEMO_PORT);
  }
  static void TearDownTestSuite() { delete server_; }
  void SetUp() override {
    server_->OfferVersion("");
    logStart_ = server_->RequestLog().size();
  }

  // Whether the server was asked for target since this test began.
  bool ServerSaw(const std::string& target) const {
    const std::vector<std::string>& log = server_->RequestLog();
    return std::any_of(log.begin() + logStart_, log.end(), [&](const std::string& line) {
      return line.find(" " + target + " ") != std::string::npos;
    });
  }

  // Starts the program and closes its main window once the control file was read, which asks
  // for the exit ad; the exit ad window's id.
  std::string QuitToExitAd() {
    EXPECT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, seconds(20)));
    EXPECT_TRUE(WaitUntil([this] { return ServerSaw("/box/lib/wen.txt"); }, seconds(20)));
    Pause(std::chrono::milliseconds(500));  // the answer is applied as it arrives
    Box main = GeometryOf(MainWindowId());
    Click(main.x + main.width - 22, main.y + 17);  // the close button
    std::string exitAd;
    EXPECT_TRUE(WaitUntil([&] { return !(exitAd = VisibleWindow("推荐")).empty(); }, seconds(10)));
    return exitAd;
  }

  // The update offer comes about 6 s after start; true once it is up and has the keyboard.
  static bool WaitForOfferWithFocus() {
    std::string offer;
    return WaitUntil([&] { return !(offer = VisibleWindow("提示：")).empty(); }, seconds(25)) &&
           WaitUntil([&] { return Shell("xdotool getactivewindow") == offer + "\n"; }, seconds(5));
  }

  static DemoServer* server_;
  test::FakeWebHandler browser_;
  size_t logStart_ = 0;
};

DemoServer* ExitExtrasGuiTest::server_ = nullptr;

TEST_F(ExitExtrasGuiTest, ExitAdReplacesTheMainWindowAndItsClosePictureEndsTheProgram) {
  Program program;
  std::string exitAd = QuitToExitAd();
  ASSERT_FALSE(exitAd.empty());
  EXPECT_TRUE(LumoraWindows().empty()) << "the main window is hidden";
  Box box = GeometryOf(exitAd);
  EXPECT_EQ(box.width, 299);
  EXPECT_EQ(box.height, 247);
  GdkRectangle screen;
  gdk_monitor_get_geometry(gdk_display_get_primary_monitor(gdk_display_get_default()), &screen);
  EXPECT_NEAR(box.x, (screen.width - 299) / 2, 1);
  EXPECT_NEAR(box.y, (screen.height - 247) / 2, 1);
  EXPECT_TRUE(WaitUntil([this] { return ServerSaw("/box/js/ads/tui.html"); }, seconds(5)));

  // The close picture's orange cross appears after a second, at the top right.
  auto crossShown = [&] {
    guint32 pixel = ScreenPixel(box.x + 244 + 11, box.y + 5 + 10);
    return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0xB0 && (pixel & 0xFF) < 0x60;
  };
  ASSERT_TRUE(WaitUntil(crossShown, seconds(5)));
  SaveScreen("exit-ad.png");
  auto clicked = std::chrono::steady_clock::now();
  Click(box.x + 244 + 25, box.y + 5 + 10);
  EXPECT_TRUE(program.WaitForEnd(seconds(10)));
  EXPECT_LT(std::chrono::steady_clock::now() - clicked, seconds(10)) << "ended by the click";
}

TEST_F(ExitExtrasGuiTest, ALinkOfTheExitAdOpensInTheBrowserAndEndsTheProgram) {
  Program program;
  std::string exitAd = QuitToExitAd();
  ASSERT_FALSE(exitAd.empty());
  ASSERT_TRUE(WaitUntil([this] { return ServerSaw("/box/js/ads/tui.html"); }, seconds(5)));
  Pause(seconds(1));  // the page lays out its links
  Box box = GeometryOf(exitAd);
  Click(box.x + 120, box.y + 62);  // the first recommendation
  EXPECT_TRUE(program.WaitForEnd(seconds(10)));
  EXPECT_TRUE(WaitUntil([&] { return !browser_.Opened().empty(); }, seconds(10)));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{server_->SiteUrl()});
}

TEST_F(ExitExtrasGuiTest, OfferEscapedKeepsTheProgramAndTheMenuOffersAgainWhereEnterDownloads) {
  server_->OfferVersion("9.1");
  Program program;
  ASSERT_TRUE(WaitForOfferWithFocus());
  Shell("xdotool key Escape");
  ASSERT_TRUE(WaitUntil([] { return VisibleWindow("提示：").empty(); }, seconds(5)));
  Pause(seconds(1));
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(LumoraWindows().size(), 1u);

  size_t before = MappedTopWindows().size();
  Box main = GeometryOf(MainWindowId());
  Click(main.x + main.width - 152, main.y + 17);  // the menu button
  ASSERT_TRUE(WaitUntil([&] { return MappedTopWindows().size() > before; }, seconds(5)));
  Shell("xdotool key Down Down Down Down Return");  // "升级检测", past the separator
  ASSERT_TRUE(WaitForOfferWithFocus());
  SaveScreen("update-offer.png");
  Shell("xdotool key Return");
  EXPECT_TRUE(program.WaitForEnd(seconds(10)));
  EXPECT_TRUE(WaitUntil([&] { return !browser_.Opened().empty(); }, seconds(10)));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{server_->BaseUrl() + "update/update.exe"})
      << "only after Yes";
  EXPECT_FALSE(ServerSaw("/box/js/ads/tui.html"));
}

}  // namespace
}  // namespace lumora
