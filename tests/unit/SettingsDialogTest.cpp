#include <gtest/gtest.h>

#include "app/LumoraApp.h"
#include "platform/headless/HeadlessMenu.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using headless::AsHeadless;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() { EXPECT_TRUE(app_.Start({"lumora"})); }

  BA1& Main() { return *app_.MainWindow(); }
  BA3& Dialog() { return *app_.SettingsDialog(); }
  void Choose(const std::string& caption) {
    headless::HeadlessMenu& menu = AsHeadless(app_.Menus()->r_m());
    menu.PopupAtPointer(Main().Window());
    ASSERT_TRUE(menu.Choose(caption));
  }
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

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  LumoraApp app_{platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path()};
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
  TopWindow& main = Main().Window();
  Main().npc_Click(BA1::kOnTop);
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
  EXPECT_EQ(dialog.Surface().PixelAt({0, 0}), Main().ppt[0].PixelAt({0, 0}));
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
  EXPECT_EQ(Dialog().guan->Surface().PixelAt({10, 10}), Main().ppt[2].PixelAt({110, 10}));
  Hover(*Dialog().guan, {30, 10});
  EXPECT_EQ(Dialog().guan->Surface().PixelAt({10, 10}), Main().ppt[1].PixelAt({110, 10}));
  dialog.onMouseMove({MouseButton::Left, false, 100, 10});
  dialog.onMouseMove({MouseButton::Left, true, 100, 10});
  EXPECT_EQ(dialog.SystemMoveCount(), 1) << "only a held left button drags";

  Main().ttt_v();
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
}

TEST_F(SettingsDialogTest, QuitCreatesNoDialogJustToUnloadIt) {
  size_t windowsBefore = platform_.Windows().size();
  Main().ttt_v();
  EXPECT_EQ(platform_.Windows().size(), windowsBefore);
  EXPECT_FALSE(Dialog().Loaded());
}

}  // namespace
}  // namespace lumora
