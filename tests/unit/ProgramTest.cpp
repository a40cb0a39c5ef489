// The program on the headless backend: its tray icon and menus, the settings dialog, the update
// check with the server fetch under it, and the extras the check switches on.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "app/LumoraApp.h"
#include "app/Startup.h"
#include "core/ServerFetch.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessMenu.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "tests/support/HeadlessFinder.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using headless::AsHeadless;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

constexpr const char* kOfferFile = "1====1====0====1====1====9.1\r\n";

// One run of the program on the headless backend.
struct Program {
  explicit Program(std::shared_ptr<headless::InstanceRegistry> machine =
                       std::make_shared<headless::InstanceRegistry>())
      : platform(headless::HeadlessPlatform::kDefaultStart, std::move(machine)) {
    app.Start({"lumora"});  // a later start hands over to the running one and has no window
  }

  BA1& Form() { return *app.MainWindow(); }
  headless::HeadlessDesktop& Desktop() { return platform.Desktop(); }
  const std::vector<headless::ShownMessage>& Messages() { return Desktop().Messages(); }
  const std::vector<std::string>& Opened() { return Desktop().OpenedAddresses(); }
  headless::HeadlessMenu& ProgramMenu() { return AsHeadless(app.Menus()->ProgramMenu()); }
  // How often the server was asked for this file: the popup ad's list (tan) and the ticker's (gun).
  long Asked(const std::string& file) {
    return std::ranges::count(platform.Http().RequestedUrls(), "http://server/box/lib/" + file);
  }

  // Runs past the 6 s check; the server answers the control file 50 ms after it was asked.
  void RunCheck(const std::string& body) {
    platform.Time().Post(6050ms, [this, body] {
      ASSERT_EQ(platform.Http().RequestedUrls(), Strings{"http://server/box/lib/wen.txt"});
      platform.Http().Answer(0, {true, 200, body});
    });
    platform.Time().Advance(7s);
  }

  void Choose(const std::string& caption) {
    ProgramMenu().PopupAtPointer(Form().Window());
    EXPECT_TRUE(ProgramMenu().Choose(caption));
  }

  // The main window is gone for good and the tray icon with it.
  bool Ended() { return Form().Unloaded() && !platform.Tray().Shown().added; }
  // Whether the ad panel shows its banner view, as the player page shows it.
  bool BannerShown() {
    Form().ShowPlayerPage();
    return test::Placed(Form().Window(), Banner()).seen;
  }
  WebView& Banner() { return *Form().WebViews()[5]; }
  // Ended, whether the exit ad was loaded, how often the extras' lists were asked, the ad panel.
  std::tuple<bool, bool, long, bool> Aftermath() {
    return {Ended(), app.ExitAd() != nullptr, Asked("tan.txt") + Asked("gun.txt"), BannerShown()};
  }
  static constexpr std::tuple<bool, bool, long, bool> kEndedBare{true, false, 0, false};

  WebView& ExitAdPage() { return *test::ControlsOf<WebView>(app.ExitAd()->Window()).at(0); }
  // Whether the pointer meets the exit ad's close picture at its place near the top right.
  bool CloseShown() {
    Control* under = test::ControlAt(app.ExitAd()->Window(), {ba4::kSize.width - 30, 15});
    return dynamic_cast<Picture*>(under) && under->Geometry().Extent() == Size{51, 21};
  }

  test::TempDir dir;
  headless::HeadlessPlatform platform;
  LumoraApp app{platform, ContentServer("http://server/box/", "http://site/"), dir.Path()};
};

// A row's extras are whether quitting shows the exit ad, how often the ticker's list is asked for,
// whether the ad panel shows and how often the popup ad's list is asked for. Every row also checks
// the timing: not before 6 s, once per run.
TEST(UpdateCheckTest, ReadsTheControlFileOnceAtSixSecondsWithItsFieldsAsTheServerSendsThem) {
  // The control file, the extras, the version in the question (answered No) or "" for none.
  const std::tuple<const char*, std::tuple<bool, long, bool, long>, const char*> cases[] = {
      {kOfferFile, {true, 1, true, 1}, "9.1"},
      {"0====0====0====0====0====9.0\n", {false, 0, false, 0}, "9.0\n"},
      {"0====0====0====0====0==== 9.0", {false, 0, false, 0}, " 9.0"},
      {"0====0====0====0====0====0\r\n", {false, 0, false, 0}, ""},
      {"1====1", {true, 0, false, 1}, ""},
      {" 1 x====1.0====0==== 1 ====1\r\n", {true, 1, true, 1}, ""},
      {"1.6====x====0====y====z====9.0====9.5", {false, 0, false, 0}, ""},
      {"99999999999====0====0====1e300====0====9.0", {false, 0, false, 0}, ""},
      {"0====nan====0====inf====nan====9.0", {false, 0, false, 0}, ""},
      {"1----1----0----1----1----9.1", {false, 0, false, 0}, ""},
      // A version longer than 32 characters is no version.
      {"0====0====0====0====0====9.1234567890123456789012345678901", {false, 0, false, 0}, ""},
  };
  for (auto [body, extras, offered] : cases) {
    SCOPED_TRACE(body);
    Program program;
    program.platform.Time().Post(5999ms, [&] {
      EXPECT_TRUE(program.platform.Http().RequestedUrls().empty()) << "not before 6 s";
    });
    program.RunCheck(body);
    program.platform.Time().Advance(60s);
    EXPECT_EQ(program.Asked("wen.txt"), 1) << "once per run";
    EXPECT_TRUE(program.Opened().empty());
    ASSERT_EQ(program.Messages().size(), *offered ? 1u : 0u);
    for (const headless::ShownMessage& offer : program.Messages()) {
      EXPECT_EQ(std::tuple(offer.text, offer.title, offer.owner, offer.buttons),
                std::tuple(std::string("检测到最新版本 ") + offered + " ,你需要现在升级吗？",
                           "提示：", &program.Form().Window(), MessageButtons::YesNo));
    }
    bool banner = program.BannerShown();
    program.Choose("退出软件");
    EXPECT_EQ(std::tuple(program.app.ExitAd() != nullptr, program.Asked("gun.txt"), banner,
                         program.Asked("tan.txt")),
              extras);
  }
}

TEST(UpdateCheckTest, YesStartsTheUpdaterBesideTheProgramOrOpensTheDownloadAndQuitsBare) {
  // Only the program's own folder counts: the per-user data folder is writable by whatever runs
  // as the user, so an updater found there is never started; the download opens instead, as for
  // an updater that cannot run or is not there at all (the GUI test's program has none).
  enum class Updater { Executable, PlainFile, FailsToStart, InDataFolder };
  for (Updater updater :
       {Updater::Executable, Updater::PlainFile, Updater::FailsToStart, Updater::InDataFolder}) {
    SCOPED_TRACE(static_cast<int>(updater));
    Program program;
    bool planted = updater == Updater::InDataFolder;
    std::filesystem::path file =
        (planted ? program.dir.Path() : ExecutableDirectory()) / "update.exe";
    std::ofstream(file) << "#!/bin/sh\n";
    bool starts = updater == Updater::Executable || updater == Updater::FailsToStart;
    using std::filesystem::perms;
    std::filesystem::permissions(
        file, starts || planted ? perms::owner_all : perms::owner_read | perms::owner_write);
    program.Desktop().SetProcessesStart(updater != Updater::FailsToStart);
    program.Desktop().QueueAnswer(MessageAnswer::Yes);
    program.RunCheck(kOfferFile);
    std::filesystem::remove(file);
    EXPECT_EQ(std::pair(program.Desktop().StartedProcesses(), program.Opened()),
              starts ? std::pair(Strings{file.string()}, Strings{})
                     : std::pair(Strings{}, Strings{"http://server/box/update/update.exe"}));
    EXPECT_EQ(program.Aftermath(), Program::kEndedBare);
  }
}

// The automatic check's offer dismissed is a No: the extras go on (the GUI test sees the ticker
// start and the menu offer again), but an ad page that failed keeps its panel hidden.
TEST(UpdateCheckTest, ManualCheckAnswersFromWhatTheAutomaticCheckRead) {
  Program program;
  program.Choose("升级检测");
  ASSERT_EQ(program.Messages().size(), 1u);
  const headless::ShownMessage& upToDate = program.Messages()[0];
  EXPECT_EQ(
      std::tuple(upToDate.text, upToDate.buttons, upToDate.icon),
      std::tuple("你现在使用的是最新版本，无需升级!", MessageButtons::Ok, MessageIcon::Question));
  EXPECT_TRUE(program.platform.Http().RequestedUrls().empty()) << "never asks the server";

  program.Banner().onNavigateError("http://server/box/js/ads/bo.html");
  program.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  program.RunCheck(kOfferFile);
  EXPECT_FALSE(program.BannerShown());
}

// A quit ends the check wherever it is: during the fetch nothing is asked, and the open update
// question is closed as dismissed. Nothing of the check acts afterwards: no popup ad, no ticker,
// no updater, whether the exit ad shows or not.
TEST(UpdateCheckTest, AQuitDuringTheFetchOrWhileTheQuestionIsOpenEndsTheCheck) {
  // The control file, and whether the quit comes while the question is open or during the fetch.
  const std::pair<const char*, bool> cases[] = {
      {kOfferFile, false}, {kOfferFile, true}, {"0====1====0====1====1====9.1", true}};
  for (auto [body, inQuestion] : cases) {
    SCOPED_TRACE(std::string(body) + (inQuestion ? " in the question" : " in the fetch"));
    Program program;
    auto quit = [&] { program.Choose("退出软件"); };
    if (inQuestion) program.Desktop().WhileNextMessageOpen(quit);
    if (!inQuestion) program.platform.Time().Post(6010ms, quit);
    program.Desktop().QueueAnswer(MessageAnswer::No);
    program.RunCheck(body);
    program.platform.Time().Advance(10s);
    ASSERT_EQ(program.Messages().size(), inQuestion ? 1u : 0u);
    EXPECT_TRUE(!inQuestion || program.Messages()[0].answer == MessageAnswer::Dismissed);
    EXPECT_TRUE(program.Desktop().StartedProcesses().empty() && program.Opened().empty());
    bool exitAd = inQuestion && body == kOfferFile;
    EXPECT_EQ(program.Aftermath(), std::tuple(!exitAd, exitAd, 0L, false));
  }
}

// The ways the exit ad ends the program. "" stands for the system's close of the window, "Escape"
// for the key, which ends it as the close picture does (other keys do nothing). A new window of
// the page ends it too, one with an address the browser must not get as well (a link reaching the
// browser: the GUI test). Left alone it ends after 20 s; it shows its page centred in place of the
// main window (the GUI test sees it), and a second start takes it down and the program goes on
// until a later quit loads it afresh.
TEST(ExitAdTest, TheSystemsCloseEscapeANewWindowOfThePageOrTwentySecondsEndTheProgram) {
  for (std::string way : {"", "Escape", "file:///etc/passwd", "20 s"}) {
    SCOPED_TRACE(way);
    auto machine = std::make_shared<headless::InstanceRegistry>();
    Program program(machine);
    program.RunCheck("1====0====0====0====0====9.0");  // which asks for the exit ad
    program.Choose("退出软件");
    ba4& exitAd = *program.app.ExitAd();
    if (way.empty()) exitAd.Window().onCloseRequest();
    if (way.starts_with("file:")) program.ExitAdPage().onNewWindow2(way);
    if (way == "Escape") {
      EXPECT_TRUE(test::Named(exitAd.Window(), AccessibleRole::PushButton, "关闭"));
      EXPECT_TRUE(AsHeadless(exitAd.Window()).FocusRingColor()) << "no ring on the focused close";
      EXPECT_FALSE(headless::PressKey(exitAd.Window(), {Key::Q, true}));
      EXPECT_FALSE(program.Ended());
      EXPECT_TRUE(headless::PressKey(exitAd.Window(), {Key::Escape}));
    }
    if (way == "20 s") {
      EXPECT_FALSE(program.Form().Unloaded());
      AsHeadless(program.ExitAdPage()).StartLoad();
      EXPECT_TRUE(AsHeadless(program.ExitAdPage()).Silent());
      program.platform.Time().Advance(999ms);
      EXPECT_FALSE(program.CloseShown());
      program.platform.Time().Advance(1ms);
      EXPECT_TRUE(program.CloseShown());

      Program later(machine);
      program.platform.Time().Advance(1ms);
      EXPECT_FALSE(exitAd.Window().IsShown());
      EXPECT_TRUE(program.Form().Window().IsShown());
      program.platform.Time().Advance(60s);
      EXPECT_FALSE(program.Ended()) << "the exit ad's timers stopped with it";

      program.Choose("退出软件");
      EXPECT_TRUE(exitAd.Window().IsShown());
      EXPECT_FALSE(program.CloseShown()) << "loaded afresh";
      program.platform.Time().Advance(19999ms);
      EXPECT_FALSE(program.Ended());
      program.platform.Time().Advance(1ms);
    }
    EXPECT_TRUE(program.Ended());
    EXPECT_FALSE(exitAd.Window().IsShown());
    EXPECT_TRUE(program.Opened().empty());
  }
}

// The popup ad window, loaded as the update check loads it.
class PopupAdTest : public ::testing::Test, protected Program {
 protected:
  // Loads the popup window, the server answering with this list.
  void LoadWith(const std::string& list) {
    size_t request = platform.Http().RequestedUrls().size();
    platform.Time().Post(20ms, [this, request, list] {
      platform.Http().Answer(request, {true, 200, Utf8ToGbk(list)});
    });
    app.ShowPopupAd();
    start_ = platform.Time().Now();
  }
  // Moves virtual time to this long after the window was loaded: the page it has then, if any.
  std::string At(std::chrono::milliseconds sinceLoad) {
    platform.Time().Advance(std::chrono::duration_cast<std::chrono::milliseconds>(
        start_ + sinceLoad - platform.Time().Now()));
    return Popup().Loaded() ? PageView().CurrentAddress() : "(unloaded)";
  }
  // The engine finishes the page, whose content has this size.
  void Finish(Size content) {
    AsHeadless(PageView()).SetPageContent(content);
    PageView().onDocumentComplete();
  }
  tankou& Popup() { return *app.PopupAd(); }
  TopWindow& Window() { return *Popup().Window(); }
  WebView& PageView() { return *test::ControlsOf<WebView>(Window()).at(0); }

  WallTime start_;
  // The usable pages of the lists.
  static constexpr const char *kA = "http://server/box/a.html", *kC = "http://server/box/c.html";
};

// The first usable page loads after the start delay and pops up, sized to its page, at the bottom
// right of the work area (above other windows and passive: the backend's window manager test).
// Every rotation hides the window and measures the next page from the same small view; after the
// list's end the window unloads.
TEST_F(PopupAdTest, PopsUpAfterTheDelayRotatesAndEndsOrRepeatsAndFallsBackToDefaultsAndCaps) {
  LoadWith(" 5 ||2||0||http://server/box/a.html$$$ftp://server/b.html$$$http://server/box/c.html");
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(At(4999ms), "about:blank");
  EXPECT_EQ(At(5s), kA);
  EXPECT_FALSE(Window().IsShown()) << "shown only once the page has finished";
  Finish({330, 210});
  EXPECT_TRUE(Window().IsShown());
  EXPECT_EQ(Window().Bounds(), (Rect{1270, 750, 330, 210}));
  EXPECT_EQ(test::ControlsOf<ImageBox>(Window()).at(0)->Geometry().Origin(), (Point{289, 1}));

  EXPECT_EQ(At(5s + 2min - 1ms), kA);
  EXPECT_EQ(At(5s + 2min), kC);
  EXPECT_FALSE(Window().IsShown());
  Finish({200, 100});
  EXPECT_EQ(Window().Bounds(), (Rect{1400, 860, 200, 100})) << "measured from a small view";

  At(5s + 4min);
  EXPECT_FALSE(Popup().Loaded());

  // With the repeat field the usable pages alternate for good; unreadable fields fall back to a
  // 120 s delay and 30 minutes, and a page larger than 800 x 600 is cut to it. Without a panel at
  // the bottom the window keeps 32 pixels above the screen's bottom edge.
  Desktop().SetWorkArea({0, 0, 1600, 1000});
  LoadWith("0||x||1||http://server/box/a.html$$$http://server/box/c.html");
  EXPECT_EQ(At(119s), "about:blank");
  At(120s);
  Finish({1000, 700});
  EXPECT_EQ(Window().Bounds(), (Rect{800, 368, 800, 600}));
  for (int turn = 1; turn <= 4; ++turn) EXPECT_EQ(At(120s + turn * 30min), turn % 2 ? kC : kA);
  EXPECT_TRUE(Popup().Loaded());
}

// A negative number of minutes shows the first page only; the window stays loaded.
TEST_F(PopupAdTest, NegativeMinutesShowOnePopupOnly) {
  LoadWith("1||-1||0||http://server/box/a.html$$$http://server/box/c.html");
  At(1s);
  Finish({300, 200});
  EXPECT_EQ(At(3h), kA);
  EXPECT_TRUE(Popup().Loaded());
}

// The page's new windows open in the user's browser, web addresses only, and hide the popup, as
// its close picture does (the accessibility test presses it); the schedule goes on and shows the
// next page. The page has no context menu.
TEST_F(PopupAdTest, NewWindowsAndTheClosePictureHideIt) {
  LoadWith("1||1||1||http://server/box/a.html");
  At(1s);
  Finish({300, 200});
  EXPECT_FALSE(PageView().onContextMenu({5, 5}));
  PageView().onNewWindow2("http://site/offer.html");
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(Opened(), Strings{"http://site/offer.html"});
  At(1s + 1min);
  Finish({300, 200});
  EXPECT_TRUE(Window().IsShown());
}

// A quit while the list is fetched unloads the window, and the list arriving afterwards starts
// nothing; a later reference loads it again. A list without a usable page starts nothing.
TEST_F(PopupAdTest, StaysIdleAfterAQuitOrWithoutPages) {
  platform.Time().Post(10ms, [this] { Choose("退出软件"); });
  LoadWith("1||1||1||http://server/box/a.html");
  EXPECT_FALSE(Popup().Loaded());
  At(1h);

  LoadWith("1||1||1||ftp://server/a.html");
  EXPECT_TRUE(Popup().Loaded());
  EXPECT_EQ(At(1h), "about:blank");
  EXPECT_FALSE(Window().IsShown());
}

// The tray icon and the menus

class TrayMenuTest : public ::testing::Test, protected Program {
 protected:
  TopWindow& Window() { return Form().Window(); }
  headless::HeadlessMenu& PortalMenu() { return AsHeadless(app.Menus()->PortalMenu()); }
};

// Without a host at the close, the window is minimised instead (the GUI tests close so).
TEST_F(TrayMenuTest, IconTogglesOrRestoresTheWindowAHostGoingBringsItBackAndTheMenusAct) {
  EXPECT_EQ(platform.Tray().Shown().tip, "Lumora");
  platform.Tray().onLeftClick();
  EXPECT_FALSE(Window().IsShown());
  platform.Tray().onLeftClick();
  EXPECT_TRUE(Window().IsShown());
  Window().SetState(WindowState::Minimized);
  platform.Tray().onLeftClick();
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_TRUE(Window().IsShown()) << "restoring does not touch visibility";

  // The icon exports the program menu, which a right click on it and the menu button open.
  EXPECT_EQ(platform.Tray().ExportedMenu(), &app.Menus()->ProgramMenu());
  EXPECT_EQ(ProgramMenu().Captions(),
            (Strings{"软件设置", "关于我们", "-", "官方主页", "升级检测", "退出软件"}));
  platform.Tray().onRightClick();
  EXPECT_TRUE(Window().IsShown());
  Control& menuButton = test::WithTooltip(Window(), "菜单");
  test::Click(Window(), menuButton);
  Rect button = menuButton.Geometry();
  EXPECT_EQ(ProgramMenu().Popups(),
            (std::vector<headless::MenuPopup>{{&Window(), std::nullopt},
                                              {&Window(), Point{button.x - 10, button.y + 20}}}));

  Desktop().QueueAnswer(MessageAnswer::Yes);  // hide to the tray
  Window().onCloseRequest();
  EXPECT_FALSE(Window().IsShown()) << "with a tray host, the tray works as before";
  platform.Tray().SetHostPresent(false);
  EXPECT_TRUE(Window().IsShown()) << "the host went: the window comes back minimised";
  EXPECT_EQ(Window().State(), WindowState::Minimized);

  // The quit at the end makes no settings dialog just to unload it.
  EXPECT_FALSE(Form().PortalView().onContextMenu({5, 5})) << "the engine's own menu never shows";
  EXPECT_FALSE(Form().HistoryView().onContextMenu({5, 5}));
  ASSERT_EQ(PortalMenu().Popups().size(), 1u);
  EXPECT_FALSE(PortalMenu().Popups()[0].at.has_value());

  headless::HeadlessWebView& portal = AsHeadless(Form().PortalView());
  auto choose = [this](const std::string& caption) {
    PortalMenu().PopupAtPointer(Window());
    return PortalMenu().Choose(caption);
  };
  Form().PortalView().Navigate("http://server/box/other.htm");
  for (auto [caption, address] : {std::pair{"后退", "http://server/box/"},
                                  {"前进", "http://server/box/other.htm"},
                                  {"主页", "http://server/box/"}}) {
    EXPECT_TRUE(choose(caption));
    EXPECT_EQ(portal.CurrentAddress(), address) << caption;
  }
  EXPECT_TRUE(choose("刷新") && choose("复制") && choose("粘贴"));
  EXPECT_EQ(std::tuple(portal.RefreshCount(), portal.CopyCount(), portal.PasteCount()),
            std::tuple(1, 1, 1));
  Choose("官方主页");
  EXPECT_EQ(Opened(), Strings{"http://site/"});
  size_t windows = platform.Windows().size();
  Choose("退出软件");
  EXPECT_TRUE(Ended());
  EXPECT_EQ(platform.Windows().size(), windows);
}

// The user is told through a box or a balloon.
TEST_F(TrayMenuTest, TheFirstFailedWriteIsToldOnceBalloonsCarryTheTitleAndACutTextUnlessOff) {
  std::filesystem::remove(dir / "c.htm");
  std::filesystem::create_directory(dir / "c.htm");  // the page cannot be replaced
  EXPECT_TRUE(Form().PlayList().AppendHistory(7, "T", "E", "B", 1, 2, 0));
  EXPECT_TRUE(Form().PlayList().AppendHistory(8, "T", "E", "B", 1, 2, 0));
  EXPECT_TRUE(Messages().empty()) << "not from inside the failing handler";
  platform.Time().Advance(10ms);
  ASSERT_EQ(Messages().size(), 1u);
  const headless::ShownMessage& told = Messages()[0];
  EXPECT_EQ(std::tuple(told.text, told.title, told.owner),
            std::tuple("无法保存文件 " + (dir / "c.htm").string() + "：Is a directory", "提示：",
                       &Window()));

  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "错";
  app.TrayIcon()->TrayShowBalloon(longText);
  const headless::TrayRecord& shown = platform.Tray().Shown();
  EXPECT_EQ(shown.balloonTitle, "Lumora提示:");
  EXPECT_EQ(Utf8ToGbk(shown.balloonText).size(), 254u);
  IniWrite(dir / "config.dll", "S_q", "tip", "1");  // the settings' balloon box unticked
  app.TrayIcon()->TrayShowBalloon("读取数据出错，请返回重试！");
  EXPECT_EQ(platform.Tray().BalloonCount(), 1);
}

// The settings and about dialog, opened from the program menu.
class SettingsDialogTest : public TrayMenuTest {
 protected:
  BA3& Dialog() { return *app.SettingsDialog(); }
  TopWindow& DialogWindow() { return Dialog().Window(); }
  CheckBox& Box(const char* caption) { return test::Captioned<CheckBox>(DialogWindow(), caption); }
  // The boxes hide to tray, save size and tray balloons, 1 for ticked.
  std::string Boxes() {
    std::string boxes;
    for (auto* box : {kHideToTray, kSaveSize, kTrayBalloons}) boxes += "01"[Box(box).Checked()];
    return boxes;
  }
  void Tick(const char* box) { AsHeadless(Box(box)).Click(); }
  void Press(const std::string& c) { Release(test::Captioned<Button>(DialogWindow(), c)); }
  static void Release(Control& control) { headless::PressAndRelease(control, MouseButton::Left); }
  Label& Tab(const std::string& t) { return test::Captioned<Label>(DialogWindow(), "\r\n" + t); }
  // Which pages the user sees: the about page with the link, the settings page with the boxes.
  std::pair<bool, bool> PagesSeen() {
    return {test::Placed(DialogWindow(), Link()).seen,
            test::Placed(DialogWindow(), Box(kSaveSize)).seen};
  }
  // The close button at the right end of the title band, and the shown page's bare background.
  Picture& CloseButton() {
    return dynamic_cast<Picture&>(
        *test::ControlAt(DialogWindow(), {BA3::kClientSize.width - 18, 15}));
  }
  Control& PageBackground() { return *test::ControlAt(DialogWindow(), {300, 250}); }
  void Hover(Control& c, int x, int y) { c.onMouseMove({MouseButton::Left, false, x, y}); }
  Label& Link() { return test::Captioned<Label>(DialogWindow(), "官方网址: http://site/"); }
  std::pair<Color, bool> LinkLook() { return {Link().ForeColor(), Link().GetFont().underline}; }
  const std::pair<Color, bool> kHighlighted{Color{0xFF0000}, true}, kNormal{Color{0x0000FF}, false};
  static constexpr const char* kHideToTray = "关闭软件最小化到托盘";
  static constexpr const char* kSaveSize = "保存软件界面大小";
  static constexpr const char* kTrayBalloons = "托盘显示气泡提示";
};

// A box loads ticked unless its key holds the number 1. Cancel, reopening and OK are left to the
// GUI test. Other keys than Escape do nothing.
TEST_F(SettingsDialogTest, BoxesLoadApplyWritesCloseAndEscapeDoNotPagesAndTheLinkInOneOwnedDialog) {
  const std::pair<const char*, const char*> loads[] = {
      {"", "111"},
      {"quit=1\r\ns_size=1\r\ntip=1\r\n", "000"},
      {"quit=0\r\ns_size=2\r\ntip=7\r\n", "111"},
      {"quit=yes\r\ns_size=\r\ntip=1x\r\n", "111"},
  };
  for (auto [file, ticked] : loads) {
    dir.Write("config.dll", std::string("[S_q]\r\n") + file);
    Choose("软件设置");
    EXPECT_EQ(Boxes(), ticked) << file;
    Press("取消");
  }
  dir.Write("config.dll", "[S_q]\r\nts=1\r\nquit=1\r\ns_size=abc\r\n");
  Choose("软件设置");
  for (const char* box : {kHideToTray, kTrayBalloons}) Tick(box);
  Press("应用(&A)");  // which leaves the dialog open: the GUI test
  const std::string applied = "[S_q]\r\nts=1\r\nquit=2\r\ns_size=2\r\ntip=1\r\n";
  EXPECT_EQ(dir.Read("config.dll"), applied) << "the unchanged box too";
  Tick(kSaveSize);
  Release(CloseButton());
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_EQ(dir.Read("config.dll"), applied) << "close writes nothing";
  Choose("软件设置");
  Tick(kHideToTray);
  EXPECT_FALSE(headless::PressKey(DialogWindow(), {Key::F5}));
  EXPECT_TRUE(headless::PressKey(DialogWindow(), {Key::Escape}));
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_EQ(dir.Read("config.dll"), applied) << "Escape writes nothing";

  // One dialog, owned by the main window, whose pages the menu chooses. Its site link highlights
  // under the pointer until it is clicked, and opens the site once.
  TopWindow& main = Form().Window();
  Release(test::WithTooltip(main, "置顶"));
  main.SetState(WindowState::Minimized);
  main.Hide();
  size_t windowsBefore = platform.Windows().size();
  Choose("关于我们");
  EXPECT_TRUE(main.IsShown());
  EXPECT_EQ(main.State(), WindowState::Normal);
  EXPECT_TRUE(main.AlwaysOnTop()) << "on top again once the dialog is up";

  // Centred on the main window, in the frame the main window's test checks, at its own size.
  headless::HeadlessWindow& dialog = AsHeadless(DialogWindow());
  EXPECT_EQ(dialog.Bounds(), (Rect{564, 343, 472, 313}));
  EXPECT_EQ(dialog.Surface().PixelAt({471, 312}),
            Form().Skin()[SkinSheet::kFrame].PixelAt({79, 99}));
  EXPECT_EQ(PagesSeen(), std::pair(true, false));

  Choose("软件设置");
  EXPECT_EQ(platform.Windows().size(), windowsBefore + 1) << "one dialog at a time";
  EXPECT_EQ(PagesSeen(), std::pair(true, false)) << "only loading picks the settings page";
  EXPECT_EQ(dialog.PresentCount(), 2) << "brought to the front each time";

  headless::Activate(Tab("软件设置"));  // the GUI test clicks the other tab
  EXPECT_EQ(PagesSeen(), std::pair(false, true));

  Picture& close = CloseButton();
  for (auto [x, sheet] : {std::pair{10, SkinSheet::kButtonsHover}, {30, SkinSheet::kButtons}}) {
    Hover(close, x, 10);
    EXPECT_EQ(close.Surface().PixelAt({10, 10}), Form().Skin()[sheet].PixelAt({110, 10})) << x;
  }
  dialog.onMouseMove({MouseButton::Left, false, 100, 10});
  dialog.onMouseMove({MouseButton::Left, true, 100, 10});
  EXPECT_EQ(dialog.SystemMoveCount(), 1) << "only a held left button drags";

  headless::Activate(Tab("关于软件"));
  EXPECT_EQ(LinkLook(), kNormal);
  Hover(Link(), 2, 2);
  EXPECT_EQ(LinkLook(), kHighlighted);
  Release(Link());
  EXPECT_EQ(LinkLook(), kNormal);
  Hover(Link(), 3, 3);
  EXPECT_EQ(LinkLook(), kNormal) << "no highlight right after a click";
  Hover(PageBackground(), 5, 5);
  Hover(Link(), 3, 3);
  EXPECT_EQ(LinkLook(), kHighlighted) << "the pointer passed over the page";
  Release(test::Captioned<Label>(DialogWindow(), "Lumora是一款以P2P技术为核心的播放软件。"));
  EXPECT_EQ(LinkLook(), kNormal);
  EXPECT_EQ(Opened(), Strings{"http://site/"}) << "once";

  // The pointer leaves the dialog as its close picture hides it: the hidden window's page and
  // link still get that move, which once reached parts already let go and ended the program.
  Control& page = PageBackground();
  Label& link = Link();
  Hover(link, 3, 3);
  Release(close);
  Hover(page, -1, -1);
  Hover(link, -1, -1);
  EXPECT_FALSE(dialog.IsShown());
  Choose("关于我们");
  EXPECT_EQ(LinkLook(), kNormal);

  TopWindow& reopened = DialogWindow();
  Choose("退出软件");
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_FALSE(reopened.IsShown());
}

TEST(StartTest, ALaterStartHandsOverAfterTheStartupFilesUnusableSettingsAreToldAndEndIt) {
  test::TempDir dir;
  // Files an earlier run was killed in the middle of writing.
  const char* leftovers[] = {".date.dat.a1B2c3", ".c.htm.XyZ123", ".config.dll.000000"};
  for (const char* name : leftovers) dir.Write(name, "half");
  dir.Write(".date.dat.notours", "keep");
  auto machine = std::make_shared<headless::InstanceRegistry>();
  headless::HeadlessPlatform first(headless::HeadlessPlatform::kDefaultStart, machine);
  LumoraApp running(first, ContentServer("http://server/box/", "http://site/"), dir.Path());
  ASSERT_TRUE(running.Start({"lumora"}));
  for (const char* name : leftovers) EXPECT_FALSE(dir.Exists(name)) << name;
  EXPECT_TRUE(dir.Exists(".date.dat.notours"));
  dir.Write(".date.dat.d4E5f6", "being written by the running instance");
  TopWindow& window = running.MainWindow()->Window();
  window.Hide();

  std::filesystem::remove(dir / "date.dat");
  headless::HeadlessPlatform second(headless::HeadlessPlatform::kDefaultStart, machine);
  LumoraApp later(second, ContentServer("http://server/box/", "http://site/"), dir.Path());
  EXPECT_FALSE(later.Start({"lumora", "--anything"}));
  EXPECT_TRUE(dir.Exists("date.dat")) << "the start-up files are made before the hand-over";
  EXPECT_TRUE(dir.Exists(".date.dat.d4E5f6")) << "a second start touches no temporary file";

  first.Time().Advance(1ms);
  EXPECT_TRUE(window.IsShown());

  // A settings file that cannot be read is told, and the program ends.
  std::filesystem::remove(dir / "config.dll");
  std::filesystem::create_directory(dir / "config.dll");
  headless::HeadlessPlatform third;
  LumoraApp unusable(third, ContentServer("http://server/box/", "http://site/"), dir.Path());
  EXPECT_FALSE(unusable.Start({"lumora"}));
  EXPECT_EQ(unusable.MainWindow(), nullptr);
  ASSERT_EQ(third.Desktop().Messages().size(), 1u);
  EXPECT_EQ(third.Desktop().Messages()[0].text,
            "无法使用设置文件 " + (dir / "config.dll").string() + "：Is a directory");
}

// The server fetch the update check reads the control file with

// The wait ends when the clock's count of whole seconds has gone up by four, so a start late in
// a second gives up after just over three seconds (a silent real server: the integration test).
// Other handlers keep running meanwhile. A fetch inside another's wait completes first; an answer
// after the give-up is dropped and the next fetch gets its own. The status, GBK and failed
// requests are left to the integration test against a real server.
TEST(ServerFetchTest, GivesUpAfterTheSecondsCountAdvancesByFourNestsAndDropsALateAnswer) {
  headless::HeadlessPlatform platform(headless::HeadlessPlatform::kDefaultStart + 900ms);
  ServerFetch fetch(platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock());
  WallTime start = platform.Time().Now();
  int ticks = 0;
  for (int i = 1; i <= 10; ++i) platform.Time().Post(500ms * i, [&] { ++ticks; });
  EXPECT_EQ(fetch.FetchText("http://server/silent"), "");
  EXPECT_EQ(platform.Time().Now() - start, 3100ms);
  EXPECT_EQ(ticks, 6);
  EXPECT_FALSE(platform.Http().IsPending(0));

  std::string inner;
  platform.Time().Post(100ms, [&] {
    platform.Time().Post(100ms, [&] { platform.Http().Answer(2, {true, 200, "in"}); });
    inner = fetch.FetchText("http://server/inner");
    platform.Http().Answer(1, {true, 200, "out"});
  });
  EXPECT_EQ(fetch.FetchText("http://server/outer"), "out");
  EXPECT_EQ(inner, "in");

  platform.Time().Post(0ms, [&] { platform.Http().Answer(3, {true, 200, "late"}, 5000ms); });
  EXPECT_EQ(fetch.FetchText("http://server/slow"), "");
  platform.Time().Advance(10s);
  platform.Time().Post(0ms, [&] { platform.Http().Answer(4, {true, 200, "next"}); });
  EXPECT_EQ(fetch.FetchText("http://server/next"), "next");
}

}  // namespace
}  // namespace lumora
