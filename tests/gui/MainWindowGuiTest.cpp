#include "tests/gui/GuiSupport.h"

namespace lumora::gui {
namespace {

// The window manager's state of a window: "Normal", "Iconic" or "Withdrawn" (hidden).
std::string WindowManagerState(const std::string& id) {
  std::string state = Shell("xprop -id " + id + " WM_STATE");
  size_t at = state.find("window state: ");
  return at == std::string::npos ? "Withdrawn" : Lines(state.substr(at + 14)).front();
}

// Succeeds once the window manager holds the window in this state.
::testing::AssertionResult Reaches(const std::string& id, const std::string& state) {
  return WaitFor("the window to be " + state, 5s, [&] { return WindowManagerState(id) == state; });
}

// Succeeds once the close question shows, its box's id kept.
::testing::AssertionResult QuestionShows(std::string& box) {
  return WaitFor("the close question", 5s,
                 [&] { return !(box = OnlyWindow("--name ^提示：$")).empty(); });
}

using MainWindowGuiTest = ProgramSuite;

TEST_F(MainWindowGuiTest, WindowMapsAtItsSizeWithRoundedCorners) {
  std::string id = MainWindowId();
  Box window = GeometryOf(id);
  EXPECT_EQ(std::pair(window.width, window.height), std::pair(990, 655));
  ASSERT_TRUE(PortalShowsItsTiles());
  guint32 desktop = ScreenPixel(2, 2);
  EXPECT_EQ(ScreenPixel(window.x, window.y), desktop) << "the corner is cut away";
  EXPECT_EQ(ScreenPixel(window.x + window.width - 1, window.y + window.height - 1), desktop);
  EXPECT_NE(ScreenPixel(window.x + 10, window.y), desktop) << "the frame's top edge is there";
  EXPECT_NE(ScreenPixel(window.x, window.y + 10), desktop);
}

TEST_F(MainWindowGuiTest, CloseQuestionEscapeKeepsTheWindowEnterMinimisesWithoutATrayOrHidesToIt) {
  std::string id = MainWindowId();
  ASSERT_EQ(run_->Setting("ts"), "3");
  Box window = GeometryOf(id);
  // A right click on the always-on-top button first: it must not swallow the close command.
  ClickOnScreen(window.x + window.width - 100 + 10, window.y + 17, 3);
  Shell("xdotool windowactivate --sync " + id + " key alt+F4");
  std::string box;
  ASSERT_TRUE(QuestionShows(box));
  Shell("xdotool windowactivate --sync " + box + " key Escape");
  ASSERT_TRUE(
      WaitFor("the question to go", 5s, [] { return OnlyWindow("--name ^提示：$").empty(); }));

  ClickOnScreen(window.x + window.width - 32 + 10, window.y + 17);  // the close button
  // Asked again: by then the escape was handled, and it left the window and the settings alone.
  ASSERT_TRUE(QuestionShows(box));
  EXPECT_EQ(WindowManagerState(id), "Normal");
  EXPECT_EQ(run_->Setting("ts"), "3") << "asked again next time";
  Shell("xdotool windowactivate --sync " + box + " key Return");
  // No tray host runs here: "hide to the tray" minimises instead.
  EXPECT_TRUE(Reaches(id, "Iconic"));
  EXPECT_EQ(run_->Setting("ts"), "1");
  EXPECT_EQ(run_->Setting("quit"), "2");
  Shell("xdotool windowactivate --sync " + id);
  EXPECT_TRUE(Reaches(id, "Normal"));

  // With an XEmbed notification area, as wide as the icons it holds, the close hides the window to
  // the icon, which brings it back.
  GPid trayHost = StartProcess("/usr/bin/trayer", {"--widthtype", "request", "--align", "left"});
  std::string area;
  ASSERT_TRUE(WaitFor("the notification area", 10s,
                      [&] { return !(area = OnlyWindow("--class ^trayer$")).empty(); }));
  // The icon's window, named like the main window, lies inside the area's.
  ASSERT_TRUE(WaitFor("the area to embed the icon", 10s, [&] {
    return Shell("xwininfo -tree -id " + area).find("\"Lumora\"") != std::string::npos;
  }));
  window = GeometryOf(id);
  ClickOnScreen(window.x + window.width - 32 + 10, window.y + 17);
  EXPECT_TRUE(Reaches(id, "Withdrawn"));
  Box tray = GeometryOf(area);
  ClickOnScreen(tray.x + tray.width / 2, tray.y + tray.height / 2);
  EXPECT_TRUE(Reaches(id, "Normal"));
  StopProcess(trayHost);
}

// The running instance brings its minimised window back for the later start, which ends.
TEST_F(MainWindowGuiTest, SecondStartHandsOverWithinASecondAndLeavesOneWindow) {
  std::string id = MainWindowId();
  Shell("xdotool windowminimize " + id);
  ASSERT_TRUE(Reaches(id, "Iconic"));
  auto start = std::chrono::steady_clock::now();
  GPid second = StartProcess((run_->folder / "lumora").string());
  ASSERT_TRUE(EndsWell(second, 5s)) << "the later start";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(Reaches(id, "Normal"));
  EXPECT_EQ(LumoraWindows().size(), 1u);
  EXPECT_EQ(waitpid(run_->pid, nullptr, WNOHANG), 0) << "the first instance runs on";
}

// The program with a session bus address whose socket does not exist, nor its folder (as after the
// session that made it ended). A later start's hand-over through the socket is the single-instance
// backend test's.
TEST(DeadBusGuiTest, WindowAndPortalComeAndOneLineSaysWhatIsMissing) {
  gdk_init(nullptr, nullptr);
  test::TempDir scratch;
  test::ScopedVariable deadBus("DBUS_SESSION_BUS_ADDRESS",
                               "unix:path=" + (scratch / "gone/bus").string());
  ProgramRun run({}, "", (scratch / "stderr").c_str());
  // The main window comes, and in it the web engine, which aborted on the dead address, shows the
  // portal.
  ASSERT_TRUE(PortalShowsItsTiles()) << scratch.Read("stderr");

  std::vector<std::string> said;
  for (const std::string& line : Lines(scratch.Read("stderr"))) {
    if (line.starts_with("lumora:")) said.push_back(line);
  }
  ASSERT_EQ(said.size(), 1u) << scratch.Read("stderr");
  EXPECT_NE(said.front().find("no session bus"), std::string::npos) << said.front();
}

// 2 x 2 blocks of screen pixels that are not one colour: a picture scaled up from one pixel per
// logical pixel has none, one drawn at double size has them along every edge.
int FineBlocks(GdkPixbuf* shot, GdkRectangle area) {
  int fine = 0;
  for (int y = area.y; y + 1 < area.y + area.height; y += 2) {
    for (int x = area.x; x + 1 < area.x + area.width; x += 2) {
      guint32 colour = PixelOf(shot, x, y);
      fine += PixelOf(shot, x + 1, y) != colour || PixelOf(shot, x, y + 1) != colour ||
              PixelOf(shot, x + 1, y + 1) != colour;
    }
  }
  return fine;
}

// On a screen scaled by two the chrome is painted from the double-size skin sheets.
TEST(HiDpiGuiTest, ScaledScreenShowsTheDoubleSizeSheets) {
  gdk_init(nullptr, nullptr);
  g_setenv("GDK_SCALE", "2", TRUE);
  // The smallest window (900 x 466), so that at double size most of it fits on the screen.
  ProgramRun run({{"s_size", "2"}, {"h_w", "13500"}, {"h_h", "7000"}});
  g_unsetenv("GDK_SCALE");

  std::string id;
  ASSERT_TRUE(WaitFor("the main window", 20s, [&] { return !(id = MainWindowId()).empty(); }));
  // The caption strip and page tabs on the screen, aligned to the window's pixel pairs.
  Box window = GeometryOf(id);
  int left = std::max(window.x, 0);
  left += (left - window.x) % 2;
  GdkWindow* root = gdk_get_default_root_window();
  EXPECT_TRUE(WaitFor("the chrome painted from the double-size sheets", 10s, [&] {
    g_autoptr(GdkPixbuf) chrome = gdk_pixbuf_get_from_window(root, left, window.y, 1200, 56);
    return chrome != nullptr && FineBlocks(chrome, {0, 0, 1200, 56}) > 2000;
  }));
}

// The visible dialog's window id, "" while there is none.
std::string DialogId() {
  return OnlyWindow("--name ^软件设置$");
}

// Points of the dialog, from its top-left corner: the settings page starts at (132, 30).
constexpr Point kHideToTrayBox{132 + 40 + 6, 30 + 56 + 8};
constexpr Point kBalloonBox{132 + 40 + 6, 30 + 88 + 8};
constexpr Point kOkButton{2 + 184 + 36, 30 + 248 + 12};
constexpr Point kCancelButton{2 + 280 + 36, 30 + 248 + 12};
constexpr Point kApplyButton{2 + 368 + 36, 30 + 248 + 12};
constexpr Point kAboutTab{60, 30 + 31 + 24};
constexpr Point kSiteLink{132 + 56 + 30, 30 + 180 + 6};

::testing::AssertionResult OpenSettingsFromTheMenu() {
  auto chosen = ChooseFromTheProgramMenu("Down Return");
  if (!chosen) return chosen;
  return WaitFor("the settings dialog", 5s, [] { return !DialogId().empty(); });
}

void ClickDialog(Point point) {
  Box dialog = GeometryOf(DialogId());
  ClickOnScreen(dialog.x + point.x, dialog.y + point.y);
}
guint32 DialogPixel(Point point) {
  Box dialog = GeometryOf(DialogId());
  return ScreenPixel(dialog.x + point.x, dialog.y + point.y);
}

// The program started again for the dialog.
using SettingsDialogGuiTest = ProgramSuite;

TEST_F(SettingsDialogGuiTest, BoxAppliedSurvivesCancelAndReopeningAndTheSiteLinkOpensTheBrowser) {
  ASSERT_EQ(run_->Setting("quit"), "2");
  ASSERT_TRUE(OpenSettingsFromTheMenu());
  std::string dialog = Shell("xprop -id " + DialogId() + " WM_TRANSIENT_FOR _NET_WM_STATE");
  // "WM_TRANSIENT_FOR(WINDOW): window id # 0x...": owned by the main window.
  EXPECT_EQ(std::stoul(dialog.substr(dialog.find('#') + 1), nullptr, 16),
            std::stoul(MainWindowId()))
      << dialog;
  EXPECT_NE(dialog.find("SKIP_TASKBAR"), std::string::npos) << "the taskbar is the main window's";
  ClickDialog(kHideToTrayBox);
  ClickDialog(kApplyButton);
  // The dialog writes its keys one by one, "tip" last.
  EXPECT_TRUE(WaitFor("the settings written", 5s, [] {
    return run_->Setting("quit") == "1" && run_->Setting("tip") == "2";
  })) << run_->folder.Read("config.dll");
  EXPECT_FALSE(DialogId().empty()) << "apply leaves the dialog open";

  ClickDialog(kBalloonBox);
  guint32 linkArea = DialogPixel(kSiteLink);
  ClickDialog(kAboutTab);
  ASSERT_TRUE(WaitFor("the about page", 5s, [&] { return DialogPixel(kSiteLink) != linkArea; }));
  ClickDialog(kSiteLink);
  EXPECT_TRUE(WaitFor("the browser", 10s, [] { return !browser_->Opened().empty(); }));
  EXPECT_EQ(browser_->Opened(),
            std::vector<std::string>{"http://127.0.0.1:" + std::to_string(LUMORA_DEMO_PORT) + "/"});
  ClickDialog(kCancelButton);
  EXPECT_TRUE(WaitFor("the dialog to close", 5s, [] { return DialogId().empty(); }));
  EXPECT_EQ(run_->Setting("tip"), "2") << "cancel writes nothing";

  ASSERT_TRUE(OpenSettingsFromTheMenu());
  ClickDialog(kHideToTrayBox);
  ClickDialog(kBalloonBox);
  ClickDialog(kOkButton);
  EXPECT_TRUE(WaitFor("the dialog to close", 5s, [] { return DialogId().empty(); }));
  EXPECT_EQ(run_->Setting("quit"), "2") << "the box came back unticked from the file";
  EXPECT_EQ(run_->Setting("tip"), "1");
}

}  // namespace
}  // namespace lumora::gui
