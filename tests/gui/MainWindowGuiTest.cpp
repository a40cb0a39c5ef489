#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/Settings.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/FakeWebHandler.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;
using namespace gui;

// The window manager's state of a window: "Normal", "Iconic" or "Withdrawn" (hidden).
std::string WindowManagerState(const std::string& id) {
  std::string state = Shell("xprop -id " + id + " WM_STATE");
  size_t at = state.find("window state: ");
  if (at == std::string::npos) return "Withdrawn";
  return Lines(state.substr(at + 14)).front();
}

// The close question's box, once it shows; "" while it does not.
std::string QuestionBox() {
  std::vector<std::string> boxes = Lines(Shell("xdotool search --onlyvisible --name ^提示：$"));
  return boxes.size() == 1 ? boxes.front() : std::string();
}

// Answers the question box with a key, as the user types it there.
void Answer(const std::string& box, const char* key) {
  Shell("xdotool windowactivate --sync " + box + " key " + key);
}

struct Pixbuf {
  ~Pixbuf() { g_clear_object(&pixbuf); }
  guint32 At(int x, int y) const {
    const guchar* p = gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                      x * gdk_pixbuf_get_n_channels(pixbuf);
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
  GdkPixbuf* pixbuf = nullptr;
};

// The real program in a directory of its own, against the demo server, under the test's X
// server, window manager and session bus.
class MainWindowGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    browser_ = new test::FakeWebHandler();
    run_ = new ProgramRun();
    ASSERT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, std::chrono::seconds(20)));
  }

  static void TearDownTestSuite() {
    delete run_;
    StopProcess(trayHost_);
    delete browser_;
  }

  static GPid Start() { return StartProgramIn(run_->folder.Path()); }

  static bool ServerSaw(const std::string& target) {
    for (const std::string& line : run_->server.RequestLog()) {
      if (line.find(" " + target + " ") != std::string::npos) return true;
    }
    return false;
  }

  static Pixbuf Screenshot() {
    GdkWindow* root = gdk_get_default_root_window();
    return {gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                       gdk_window_get_height(root))};
  }

  static std::string Setting(const char* key) {
    return IniRead(run_->folder.Path() / "config.dll", "S_q", key, "0");
  }

  static test::FakeWebHandler* browser_;
  static ProgramRun* run_;
  static GPid trayHost_;
};

test::FakeWebHandler* MainWindowGuiTest::browser_ = nullptr;
GPid MainWindowGuiTest::trayHost_ = 0;
ProgramRun* MainWindowGuiTest::run_ = nullptr;

TEST_F(MainWindowGuiTest, ViewsReachTheirStartPagesAndThePingCarriesTheUserId) {
  std::string id = IniRead(run_->folder.Path() / "config.dll", "User", "Name", "0");
  std::vector<std::string> pages = {
      "/box/",          "/box/tj/tj.asp?id=" + id, "/box/tv/list.htm",
      "/box/tv/ad.htm", "/box/js/ads/bo.html",     "/box/js/ads/tao.html"};
  EXPECT_TRUE(WaitUntil([&] { return std::all_of(pages.begin(), pages.end(), ServerSaw); },
                        std::chrono::seconds(20)));
  for (const std::string& page : pages) EXPECT_TRUE(ServerSaw(page)) << page;
  EXPECT_TRUE(run_->folder.Exists("c.htm"));
  EXPECT_TRUE(run_->folder.Exists("i.gif"));
}

TEST_F(MainWindowGuiTest, WindowMapsAtItsSizeWithRoundedCorners) {
  Box window = GeometryOf(MainWindowId());
  EXPECT_EQ(window.width, 990);
  EXPECT_EQ(window.height, 655);
  // Give the views time to paint before the picture is kept.
  Pause(std::chrono::seconds(3));
  Pixbuf shot = Screenshot();
  std::filesystem::create_directories(LUMORA_ARTIFACT_DIR);
  gdk_pixbuf_save(shot.pixbuf, LUMORA_ARTIFACT_DIR "/main-window.png", "png", nullptr, nullptr);
  guint32 desktop = shot.At(2, 2);
  EXPECT_EQ(shot.At(window.x, window.y), desktop) << "the corner is cut away";
  EXPECT_EQ(shot.At(window.x + window.width - 1, window.y + window.height - 1), desktop);
  EXPECT_NE(shot.At(window.x + 10, window.y), desktop) << "the frame's top edge is there";
  EXPECT_NE(shot.At(window.x, window.y + 10), desktop);
}

TEST_F(MainWindowGuiTest, MaximiseButtonFillsTheWorkAreaAndRestores) {
  std::string id = MainWindowId();
  Box before = GeometryOf(id);
  Click(before.x + before.width - 54 + 10, before.y + 17);
  EXPECT_TRUE(WaitUntil(
      [&] {
        Box now = GeometryOf(id);
        GdkRectangle area;
        gdk_monitor_get_workarea(gdk_display_get_primary_monitor(gdk_display_get_default()), &area);
        return now.x == area.x && now.y == area.y && now.width == area.width &&
               now.height == area.height;
      },
      std::chrono::seconds(5)));
  Pause(std::chrono::milliseconds(500));  // as a user would pause
  Box maximised = GeometryOf(id);
  Click(maximised.x + maximised.width - 54 + 10, maximised.y + 17);
  EXPECT_TRUE(
      WaitUntil([&] { return GeometryOf(id).width == before.width; }, std::chrono::seconds(5)));
}

TEST_F(MainWindowGuiTest, ShoppingPageProductOpensInTheDefaultBrowser) {
  Box window = GeometryOf(MainWindowId());
  Click(window.x + 224 + 34, window.y + 22);  // the shopping page's tab
  Pause(std::chrono::milliseconds(1000));
  // The first product's picture: the view lies at (5, 39), its grid from (16, 53).
  Click(window.x + 5 + 16 + 60, window.y + 39 + 53 + 70);
  EXPECT_TRUE(WaitUntil([] { return !browser_->Opened().empty(); }, std::chrono::seconds(5)));
  EXPECT_EQ(browser_->Opened(), std::vector<std::string>{"https://example.com/goods/1"});
  EXPECT_EQ(LumoraWindows().size(), 1u) << "no window of the program's own";
  Click(window.x + 20 + 34, window.y + 22);  // back to the portal
}

TEST_F(MainWindowGuiTest, CloseQuestionEscapeKeepsTheWindowAndEnterMinimisesWithoutATray) {
  std::string id = MainWindowId();
  ASSERT_EQ(Setting("ts"), "3");
  Box window = GeometryOf(id);
  // A right click on the always-on-top button first: it must not swallow the close command.
  Click(window.x + window.width - 100 + 10, window.y + 17, 3);
  Shell("xdotool windowactivate --sync " + id + " key alt+F4");
  std::string box;
  ASSERT_TRUE(WaitUntil([&] { return !(box = QuestionBox()).empty(); }, std::chrono::seconds(5)));
  Answer(box, "Escape");
  ASSERT_TRUE(WaitUntil([] { return QuestionBox().empty(); }, std::chrono::seconds(5)));
  Pause(std::chrono::milliseconds(500));
  EXPECT_EQ(WindowManagerState(id), "Normal");
  EXPECT_EQ(Setting("ts"), "3") << "asked again next time";

  Click(window.x + window.width - 32 + 10, window.y + 17);  // the close button
  ASSERT_TRUE(WaitUntil([&] { return !(box = QuestionBox()).empty(); }, std::chrono::seconds(5)));
  Answer(box, "Return");
  // No tray host runs here: "hide to the tray" minimises instead.
  EXPECT_TRUE(
      WaitUntil([&] { return WindowManagerState(id) == "Iconic"; }, std::chrono::seconds(5)));
  EXPECT_EQ(Setting("ts"), "1");
  EXPECT_EQ(Setting("quit"), "2");
  Shell("xdotool windowactivate --sync " + id);
  EXPECT_TRUE(
      WaitUntil([&] { return WindowManagerState(id) == "Normal"; }, std::chrono::seconds(5)));
}

TEST_F(MainWindowGuiTest, WithAnXEmbedTrayCloseHidesToTheIconWhichBringsTheWindowBack) {
  std::string id = MainWindowId();
  // An XEmbed notification area as wide as the icons it holds.
  trayHost_ = StartProcess("/usr/bin/trayer", {"--widthtype", "request", "--align", "left"});
  std::string area;
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::vector<std::string> found =
            Lines(Shell("xdotool search --onlyvisible --class ^trayer$"));
        area = found.empty() ? "" : found.front();
        return !area.empty();
      },
      std::chrono::seconds(10)));
  Pause(std::chrono::milliseconds(1000));  // the area embeds the icon
  Box window = GeometryOf(id);
  Click(window.x + window.width - 32 + 10, window.y + 17);
  EXPECT_TRUE(
      WaitUntil([&] { return WindowManagerState(id) == "Withdrawn"; }, std::chrono::seconds(5)));
  Box tray = GeometryOf(area);
  Click(tray.x + tray.width / 2, tray.y + tray.height / 2);
  EXPECT_TRUE(
      WaitUntil([&] { return WindowManagerState(id) == "Normal"; }, std::chrono::seconds(5)));
}

TEST_F(MainWindowGuiTest, SecondStartHandsOverWithinASecondAndLeavesOneWindow) {
  auto start = Clock::now();
  GPid second = Start();
  int status = -1;
  ASSERT_TRUE(WaitUntil([&] { return waitpid(second, &status, WNOHANG) == second; },
                        std::chrono::seconds(5)));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  Pause(std::chrono::milliseconds(500));
  EXPECT_EQ(LumoraWindows().size(), 1u);
  EXPECT_EQ(waitpid(run_->pid, nullptr, WNOHANG), 0) << "the first instance runs on";
}

}  // namespace
}  // namespace lumora
