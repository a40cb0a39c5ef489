#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

// The window manager's state of a window: "Normal", "Iconic" or "Withdrawn" (hidden).
std::string WindowManagerState(const std::string& id) {
  std::string state = Shell("xprop -id " + id + " WM_STATE");
  size_t at = state.find("window state: ");
  return at == std::string::npos ? "Withdrawn" : Lines(state.substr(at + 14)).front();
}

// Answers the close question's box, once it shows, with a key as the user types it there.
bool AnswerQuestion(const char* key) {
  std::string box;
  if (!WaitUntil([&] { return !(box = OnlyWindow("--name ^提示：$")).empty(); }, 5s)) return false;
  Shell("xdotool windowactivate --sync " + box + " key " + key);
  return true;
}

class MainWindowGuiTest : public ProgramSuite {
 protected:
  static void TearDownTestSuite() {
    ProgramSuite::TearDownTestSuite();
    StopProcess(trayHost_);
  }

  static inline GPid trayHost_ = 0;
};

TEST_F(MainWindowGuiTest, ViewsReachTheirStartPagesAndThePingCarriesTheUserId) {
  std::string id = IniRead(run_->folder / "config.dll", "User", "Name", "0");
  std::vector<std::string> pages = {
      "/box/",          "/box/tj/tj.asp?id=" + id, "/box/tv/list.htm",
      "/box/tv/ad.htm", "/box/js/ads/bo.html",     "/box/js/ads/tao.html"};
  auto saw = [](const std::string& page) { return run_->Saw("GET " + page + " "); };
  WaitUntil([&] { return std::all_of(pages.begin(), pages.end(), saw); }, 20s);
  for (const std::string& page : pages) EXPECT_TRUE(saw(page)) << page;
  EXPECT_TRUE(run_->folder.Exists("c.htm"));
  EXPECT_TRUE(run_->folder.Exists("i.gif"));
}

TEST_F(MainWindowGuiTest, WindowMapsAtItsSizeWithRoundedCorners) {
  Box window = GeometryOf(MainWindowId());
  EXPECT_EQ(window.width, 990);
  EXPECT_EQ(window.height, 655);
  Pause(3s);  // the views paint before the picture is kept
  g_autoptr(GdkPixbuf) shot = Screenshot("main-window.png");
  guint32 desktop = PixelOf(shot, 2, 2);
  EXPECT_EQ(PixelOf(shot, window.x, window.y), desktop) << "the corner is cut away";
  EXPECT_EQ(PixelOf(shot, window.x + window.width - 1, window.y + window.height - 1), desktop);
  EXPECT_NE(PixelOf(shot, window.x + 10, window.y), desktop) << "the frame's top edge is there";
  EXPECT_NE(PixelOf(shot, window.x, window.y + 10), desktop);
}

TEST_F(MainWindowGuiTest, MaximiseButtonFillsTheWorkAreaAndRestores) {
  std::string id = MainWindowId();
  Box before = GeometryOf(id);
  Click(before.x + before.width - 54 + 10, before.y + 17);
  GdkRectangle area;
  gdk_monitor_get_workarea(gdk_display_get_primary_monitor(gdk_display_get_default()), &area);
  EXPECT_TRUE(WaitUntil(
      [&] {
        Box now = GeometryOf(id);
        return now.x == area.x && now.y == area.y && now.width == area.width &&
               now.height == area.height;
      },
      5s));
  Pause(500ms);  // as a user would pause
  Box maximised = GeometryOf(id);
  Click(maximised.x + maximised.width - 54 + 10, maximised.y + 17);
  EXPECT_TRUE(WaitUntil([&] { return GeometryOf(id).width == before.width; }, 5s));
}

TEST_F(MainWindowGuiTest, ShoppingPageProductOpensInTheDefaultBrowser) {
  Box window = GeometryOf(MainWindowId());
  Click(window.x + 224 + 34, window.y + 22);  // the shopping page's tab
  Pause(1s);
  // The first product's picture: the view lies at (5, 39), its grid from (16, 53).
  Click(window.x + 5 + 16 + 60, window.y + 39 + 53 + 70);
  EXPECT_TRUE(WaitUntil([] { return !browser_->Opened().empty(); }, 5s));
  EXPECT_EQ(browser_->Opened(), std::vector<std::string>{"https://example.com/goods/1"});
  EXPECT_EQ(LumoraWindows().size(), 1u) << "no window of the program's own";
  Click(window.x + 20 + 34, window.y + 22);  // back to the portal
}

TEST_F(MainWindowGuiTest, CloseQuestionEscapeKeepsTheWindowAndEnterMinimisesWithoutATray) {
  std::string id = MainWindowId();
  ASSERT_EQ(run_->Setting("ts"), "3");
  Box window = GeometryOf(id);
  // A right click on the always-on-top button first: it must not swallow the close command.
  Click(window.x + window.width - 100 + 10, window.y + 17, 3);
  Shell("xdotool windowactivate --sync " + id + " key alt+F4");
  ASSERT_TRUE(AnswerQuestion("Escape"));
  ASSERT_TRUE(WaitUntil([] { return OnlyWindow("--name ^提示：$").empty(); }, 5s));
  Pause(500ms);
  EXPECT_EQ(WindowManagerState(id), "Normal");
  EXPECT_EQ(run_->Setting("ts"), "3") << "asked again next time";

  Click(window.x + window.width - 32 + 10, window.y + 17);  // the close button
  ASSERT_TRUE(AnswerQuestion("Return"));
  // No tray host runs here: "hide to the tray" minimises instead.
  EXPECT_TRUE(WaitUntil([&] { return WindowManagerState(id) == "Iconic"; }, 5s));
  EXPECT_EQ(run_->Setting("ts"), "1");
  EXPECT_EQ(run_->Setting("quit"), "2");
  Shell("xdotool windowactivate --sync " + id);
  EXPECT_TRUE(WaitUntil([&] { return WindowManagerState(id) == "Normal"; }, 5s));
}

TEST_F(MainWindowGuiTest, WithAnXEmbedTrayCloseHidesToTheIconWhichBringsTheWindowBack) {
  std::string id = MainWindowId();
  // An XEmbed notification area as wide as the icons it holds.
  trayHost_ = StartProcess("/usr/bin/trayer", {"--widthtype", "request", "--align", "left"});
  std::string area;
  ASSERT_TRUE(WaitUntil([&] { return !(area = OnlyWindow("--class ^trayer$")).empty(); }, 10s));
  Pause(1s);  // the area embeds the icon
  Box window = GeometryOf(id);
  Click(window.x + window.width - 32 + 10, window.y + 17);
  EXPECT_TRUE(WaitUntil([&] { return WindowManagerState(id) == "Withdrawn"; }, 5s));
  Box tray = GeometryOf(area);
  Click(tray.x + tray.width / 2, tray.y + tray.height / 2);
  EXPECT_TRUE(WaitUntil([&] { return WindowManagerState(id) == "Normal"; }, 5s));
}

TEST_F(MainWindowGuiTest, SecondStartHandsOverWithinASecondAndLeavesOneWindow) {
  auto start = std::chrono::steady_clock::now();
  GPid second = StartProcess((run_->folder / "lumora").string());
  int status = -1;
  ASSERT_TRUE(WaitUntil([&] { return waitpid(second, &status, WNOHANG) == second; }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  Pause(500ms);
  EXPECT_EQ(LumoraWindows().size(), 1u);
  EXPECT_EQ(waitpid(run_->pid, nullptr, WNOHANG), 0) << "the first instance runs on";
}

}  // namespace
}  // namespace lumora
