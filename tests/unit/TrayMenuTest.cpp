#include <gtest/gtest.h>

#include <algorithm>

#include "app/LumoraApp.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessMenu.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using headless::AsHeadless;

class TrayMenuTest : public ::testing::Test {
 protected:
  TrayMenuTest() {
    EXPECT_TRUE(app_.Start({"lumora"}));
    app_.MainWindow()->onUnloaded = [this] { ++quits_; };
  }

  BA1& Form() { return *app_.MainWindow(); }
  TopWindow& Window() { return Form().Window(); }
  headless::HeadlessMenu& ProgramMenu() { return AsHeadless(app_.Menus()->r_m()); }
  headless::HeadlessMenu& PortalMenu() { return AsHeadless(app_.Menus()->myMenu()); }
  void LeftClickIcon() { platform_.Tray().onLeftClick(); }
  void Choose(const std::string& caption) {
    ProgramMenu().PopupAtPointer(Window());
    ASSERT_TRUE(ProgramMenu().Choose(caption));
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  LumoraApp app_{platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path()};
  int quits_ = 0;
};

TEST_F(TrayMenuTest, IconShowsTheCaptionAndTogglesOrRestoresTheWindow) {
  EXPECT_TRUE(platform_.Tray().Shown().added);
  EXPECT_EQ(platform_.Tray().Shown().tip, "Lumora");
  LeftClickIcon();
  EXPECT_FALSE(Window().IsShown());
  LeftClickIcon();
  EXPECT_TRUE(Window().IsShown());
  Window().SetState(WindowState::Minimized);
  LeftClickIcon();
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_TRUE(Window().IsShown()) << "restoring does not touch visibility";
  LeftClickIcon();
  LeftClickIcon();
  EXPECT_TRUE(Window().IsShown()) << "a double click toggles twice";
}

TEST_F(TrayMenuTest, TheFirstFailedWriteOfARunIsToldOnceWithTheFileAndTheReason) {
  std::filesystem::remove(dir_ / "c.htm");
  std::filesystem::create_directory(dir_ / "c.htm");  // the page cannot be replaced
  EXPECT_TRUE(Form().PlayList().AppendHistory(7, "T", "E", "B", 1, 2, 0));
  EXPECT_TRUE(Form().PlayList().AppendHistory(8, "T", "E", "B", 1, 2, 0));
  EXPECT_TRUE(platform_.Desktop().Messages().empty()) << "not from inside the failing handler";
  platform_.Time().Advance(std::chrono::milliseconds(10));
  ASSERT_EQ(platform_.Desktop().Messages().size(), 1u);
  const headless::ShownMessage& told = platform_.Desktop().Messages()[0];
  EXPECT_EQ(told.title, "提示：");
  EXPECT_EQ(told.owner, &Window());
  EXPECT_EQ(told.text, "无法保存文件 " + (dir_ / "c.htm").string() + "：Is a directory");
}

// Without a host at the close, the window is minimised instead (the GUI tests close so).
TEST_F(TrayMenuTest, TheWindowHiddenToATrayWhoseHostGoesComesBackMinimised) {
  platform_.Desktop().QueueAnswer(MessageAnswer::Yes);  // hide to the tray
  Window().onCloseRequest();
  EXPECT_FALSE(Window().IsShown()) << "with a tray host, the tray works as before";
  platform_.Tray().SetHostPresent(false);
  EXPECT_TRUE(Window().IsShown()) << "the host went: the window comes back minimised";
  EXPECT_EQ(Window().State(), WindowState::Minimized);
}

TEST_F(TrayMenuTest, RightClickOpensTheProgramMenuAtThePointerAndTheIconExportsIt) {
  EXPECT_EQ(platform_.Tray().ExportedMenu(), &app_.Menus()->r_m());
  EXPECT_EQ(
      ProgramMenu().Captions(),
      (std::vector<std::string>{"软件设置", "关于我们", "-", "官方主页", "升级检测", "退出软件"}));
  platform_.Tray().onRightClick();
  ASSERT_EQ(ProgramMenu().Popups().size(), 1u);
  EXPECT_EQ(ProgramMenu().Popups()[0], (headless::MenuPopup{&Window(), std::nullopt}));
  EXPECT_TRUE(Window().IsShown());
}

TEST_F(TrayMenuTest, BalloonsCarryTheTitleAndTheTextCutToItsFieldUnlessSwitchedOff) {
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "错";
  app_.TrayIcon()->TrayShowBalloon(longText);
  const TrayRecord& record = app_.TrayIcon()->Record();
  EXPECT_EQ(record.balloonTitle, "Lumora提示:");
  EXPECT_EQ(Utf8ToGbk(record.balloonText).size(), 254u);
  EXPECT_TRUE(record.informationIcon);
  EXPECT_EQ(platform_.Tray().Shown().balloonText, record.balloonText);

  IniWrite(dir_ / "config.dll", "S_q", "tip", "1");  // the settings' balloon box unticked
  app_.TrayIcon()->TrayShowBalloon("读取数据出错，请返回重试！");
  EXPECT_EQ(platform_.Tray().BalloonCount(), 1);
}

TEST_F(TrayMenuTest, MenuButtonAndPortalContextMenuOpenTheirMenus) {
  Form().npc_Click(BA1::kMenu);
  Rect button = Form().npc[BA1::kMenu]->Geometry();
  ASSERT_EQ(ProgramMenu().Popups().size(), 1u);
  EXPECT_EQ(ProgramMenu().Popups()[0].at, (Point{button.x - 10, button.y + 20}));
  EXPECT_FALSE(Form().Web1->onContextMenu({5, 5})) << "the engine's own menu never shows";
  EXPECT_FALSE(Form().Web3->onContextMenu({5, 5}));
  ASSERT_EQ(PortalMenu().Popups().size(), 1u);
  EXPECT_FALSE(PortalMenu().Popups()[0].at.has_value());
}

TEST_F(TrayMenuTest, MenuCommandsActOnThePortalTheShellAndTheProgram) {
  headless::HeadlessWebView& portal = headless::AsHeadless(*Form().Web1);
  auto choose = [this](const std::string& caption) {
    PortalMenu().PopupAtPointer(Window());
    return PortalMenu().Choose(caption);
  };
  Form().Web1->Navigate("http://server/box/other.htm");
  EXPECT_TRUE(choose("后退"));
  EXPECT_EQ(portal.CurrentAddress(), "http://server/box/");
  EXPECT_TRUE(choose("前进"));
  EXPECT_EQ(portal.CurrentAddress(), "http://server/box/other.htm");
  EXPECT_TRUE(choose("刷新"));
  EXPECT_TRUE(choose("复制"));
  EXPECT_TRUE(choose("粘贴"));
  EXPECT_EQ(std::vector<int>({portal.RefreshCount(), portal.CopyCount(), portal.PasteCount()}),
            std::vector<int>({1, 1, 1}));
  EXPECT_TRUE(choose("主页"));
  EXPECT_EQ(Form().Web1->CurrentAddress(), "http://server/box/");
  Choose("官方主页");
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), std::vector<std::string>{"http://site/"});
  Choose("退出软件");
  EXPECT_EQ(quits_, 1);
}

// The settings and about dialog, opened from the program menu.
class SettingsDialogTest : public TrayMenuTest {
 protected:
  BA3& Dialog() { return *app_.SettingsDialog(); }
  std::string Config() { return dir_.Read("config.dll"); }
  void WriteConfig(const std::string& section) { dir_.Write("config.dll", "[S_q]\r\n" + section); }
  void Hover(Control& control, Point at) {
    control.onMouseMove({MouseButton::Left, false, at.x, at.y});
  }
  Label& Link() { return *Dialog().L1[0]; }
  bool LinkHighlighted() {
    return Link().ForeColor() == Color{0xFF0000} && Link().GetFont().underline;
  }
  bool LinkNormal() { return Link().ForeColor() == Color{0x0000FF} && !Link().GetFont().underline; }
};

TEST_F(SettingsDialogTest, BoxesLoadTickedUnlessTheKeyHoldsTheNumberOne) {
  // The boxes hide to tray, save size and tray balloons, 1 for ticked.
  const std::pair<const char*, const char*> cases[] = {
      {"", "111"},
      {"quit=1\r\ns_size=1\r\ntip=1\r\n", "000"},
      {"quit=0\r\ns_size=2\r\ntip=7\r\n", "111"},
      {"quit=yes\r\ns_size=\r\ntip=1x\r\n", "111"},
  };
  for (auto [file, ticked] : cases) {
    WriteConfig(file);
    Choose("软件设置");
    std::string boxes;
    for (int box : {BA3::kHideToTrayBox, BA3::kSaveSizeBox, BA3::kTrayBalloonsBox}) {
      boxes += Dialog().Check1[box]->Checked() ? '1' : '0';
    }
    EXPECT_EQ(boxes, ticked) << file;
    Dialog().cmdCancel->onClick();
  }
}

TEST_F(SettingsDialogTest, ApplyWritesEveryKeyCancelKeepsItAndOkWritesAndCloses) {
  WriteConfig("ts=1\r\nquit=1\r\ns_size=abc\r\n");
  Choose("软件设置");
  Dialog().cmdApply->onClick();
  EXPECT_EQ(Config(), "[S_q]\r\nts=1\r\nquit=1\r\ns_size=2\r\ntip=2\r\n") << "even unchanged";
  EXPECT_TRUE(Dialog().Loaded());

  AsHeadless(*Dialog().Check1[BA3::kHideToTrayBox]).Click();
  AsHeadless(*Dialog().Check1[BA3::kTrayBalloonsBox]).Click();
  Dialog().cmdApply->onClick();
  AsHeadless(*Dialog().Check1[BA3::kSaveSizeBox]).Click();
  Dialog().cmdCancel->onClick();
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_EQ(Config(), "[S_q]\r\nts=1\r\nquit=2\r\ns_size=2\r\ntip=1\r\n");

  Choose("软件设置");
  EXPECT_TRUE(Dialog().Check1[BA3::kHideToTrayBox]->Checked());
  EXPECT_FALSE(Dialog().Check1[BA3::kTrayBalloonsBox]->Checked());
  AsHeadless(*Dialog().Check1[BA3::kSaveSizeBox]).Click();
  Dialog().guan->onClick();
  EXPECT_EQ(Config(), "[S_q]\r\nts=1\r\nquit=2\r\ns_size=2\r\ntip=1\r\n") << "close writes nothing";

  Choose("软件设置");
  AsHeadless(*Dialog().Check1[BA3::kSaveSizeBox]).Click();
  Dialog().cmdOK->onClick();
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_EQ(Config(), "[S_q]\r\nts=1\r\nquit=2\r\ns_size=1\r\ntip=1\r\n");
}

TEST_F(SettingsDialogTest, OneOwnedCentredSkinnedDialogWhosePagesTheMenuChooses) {
  TopWindow& main = Form().Window();
  Form().npc_Click(BA1::kOnTop);
  main.SetState(WindowState::Minimized);
  main.Hide();
  size_t windowsBefore = platform_.Windows().size();
  Choose("关于我们");
  EXPECT_TRUE(main.IsShown());
  EXPECT_EQ(main.State(), WindowState::Normal);
  EXPECT_TRUE(main.AlwaysOnTop()) << "on top again once the dialog is up";

  headless::HeadlessWindow& dialog = AsHeadless(Dialog().Window());
  EXPECT_TRUE(dialog.IsShown());
  EXPECT_EQ(dialog.Bounds(), (Rect{564, 343, 472, 313}));
  EXPECT_EQ(dialog.Region(), (RoundedRegion{{473, 314}, 4}));
  EXPECT_EQ(dialog.Surface().PixelAt({0, 0}), Form().ppt[0].PixelAt({0, 0}));
  EXPECT_TRUE(Dialog().pz[BA3::kAboutPage]->Visible());
  EXPECT_FALSE(Dialog().pz[BA3::kSettingsPage]->Visible());
  EXPECT_EQ(AsHeadless(*Dialog().d_z[BA3::kAboutPage]).BackColor(), Color{0xFAAF41});
  EXPECT_EQ(AsHeadless(*Dialog().d_z[BA3::kSettingsPage]).BackColor(), Color{0xDADADA});

  Choose("软件设置");
  EXPECT_EQ(platform_.Windows().size(), windowsBefore + 1) << "one dialog at a time";
  EXPECT_TRUE(Dialog().pz[BA3::kAboutPage]->Visible()) << "only loading picks the settings page";
  EXPECT_EQ(dialog.PresentCount(), 2) << "brought to the front each time";

  Dialog().d_z[BA3::kSettingsPage]->onClick();
  EXPECT_TRUE(Dialog().pz[BA3::kSettingsPage]->Visible());
  EXPECT_FALSE(Dialog().pz[BA3::kAboutPage]->Visible());
  EXPECT_EQ(Dialog().d_z[BA3::kSettingsPage]->ForeColor(), Color{0xFFFFFF});

  Hover(*Dialog().guan, {10, 10});
  EXPECT_EQ(Dialog().guan->Surface().PixelAt({10, 10}), Form().ppt[2].PixelAt({110, 10}));
  Hover(*Dialog().guan, {30, 10});
  EXPECT_EQ(Dialog().guan->Surface().PixelAt({10, 10}), Form().ppt[1].PixelAt({110, 10}));
  dialog.onMouseMove({MouseButton::Left, false, 100, 10});
  dialog.onMouseMove({MouseButton::Left, true, 100, 10});
  EXPECT_EQ(dialog.SystemMoveCount(), 1) << "only a held left button drags";

  Form().ttt_v();
  EXPECT_FALSE(Dialog().Loaded());
  EXPECT_FALSE(dialog.IsShown());
}

TEST_F(SettingsDialogTest, LinkHighlightsUntilClickedAndOpensTheSiteOnce) {
  Choose("关于我们");
  ASSERT_EQ(Link().Caption(), "官方网址: http://site/");
  EXPECT_TRUE(LinkNormal());
  Hover(Link(), {2, 2});
  EXPECT_TRUE(LinkHighlighted());
  Link().onClick();
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), std::vector<std::string>{"http://site/"});
  EXPECT_TRUE(LinkNormal());
  Hover(Link(), {3, 3});
  EXPECT_TRUE(LinkNormal()) << "no highlight right after a click";
  Hover(*Dialog().pz[BA3::kAboutPage], {5, 5});
  Hover(Link(), {3, 3});
  EXPECT_TRUE(LinkHighlighted()) << "the pointer passed over the page";
  Dialog().L1[9]->onClick();
  EXPECT_TRUE(LinkNormal());
  EXPECT_EQ(platform_.Desktop().OpenedAddresses().size(), 1u);

  // The pointer leaves the dialog as its close picture hides it: the hidden window's page and
  // link still get that move, which once reached parts already let go and ended the program.
  Picture& page = *Dialog().pz[BA3::kAboutPage];
  Label& link = Link();
  Hover(link, {3, 3});
  Dialog().guan->onClick();
  Hover(page, {-1, -1});
  Hover(link, {-1, -1});
  EXPECT_FALSE(Dialog().Loaded());
  Choose("关于我们");
  EXPECT_TRUE(LinkNormal());
}

TEST_F(SettingsDialogTest, QuitCreatesNoDialogJustToUnloadIt) {
  size_t windowsBefore = platform_.Windows().size();
  Form().ttt_v();
  EXPECT_EQ(platform_.Windows().size(), windowsBefore);
  EXPECT_FALSE(Dialog().Loaded());
}

TEST(SecondStartTest, HandsOverAfterTheStartupFilesAndBringsTheWindowBack) {
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
  window.SetState(WindowState::Minimized);
  window.Hide();

  std::filesystem::remove(dir / "date.dat");
  headless::HeadlessPlatform second(headless::HeadlessPlatform::kDefaultStart, machine);
  LumoraApp later(second, ContentServer("http://server/box/", "http://site/"), dir.Path());
  EXPECT_FALSE(later.Start({"lumora", "--anything"}));
  EXPECT_EQ(later.MainWindow(), nullptr) << "no window in the second process";
  EXPECT_TRUE(dir.Exists("date.dat")) << "the start-up files are made before the hand-over";
  EXPECT_TRUE(dir.Exists(".date.dat.d4E5f6")) << "a second start touches no temporary file";

  first.Time().Advance(std::chrono::milliseconds(1));
  EXPECT_TRUE(window.IsShown());
  EXPECT_EQ(window.State(), WindowState::Normal);
}

TEST(UnusableSettingsTest, ASettingsFileThatCannotBeReadIsToldAndTheProgramEnds) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "config.dll");
  headless::HeadlessPlatform platform;
  LumoraApp app(platform, ContentServer("http://server/box/", "http://site/"), dir.Path());
  EXPECT_FALSE(app.Start({"lumora"}));
  EXPECT_EQ(app.MainWindow(), nullptr);
  ASSERT_EQ(platform.Desktop().Messages().size(), 1u);
  EXPECT_EQ(platform.Desktop().Messages()[0].text,
            "无法使用设置文件 " + (dir / "config.dll").string() + "：Is a directory");
}

}  // namespace
}  // namespace lumora
