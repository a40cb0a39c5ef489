#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

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

class SettingsDialogGuiTest : public ProgramSuite {
 protected:
  static ::testing::AssertionResult OpenSettingsFromTheMenu() {
    auto chosen = ChooseFromTheProgramMenu("Down Return");
    if (!chosen) return chosen;
    return WaitFor(
        "the settings dialog", [] { return !DialogId().empty(); }, 5s);
  }

  static void ClickDialog(Point point) {
    Box dialog = GeometryOf(DialogId());
    ClickOnScreen(dialog.x + point.x, dialog.y + point.y);
  }
  static guint32 DialogPixel(Point point) {
    Box dialog = GeometryOf(DialogId());
    return ScreenPixel(dialog.x + point.x, dialog.y + point.y);
  }
};

TEST_F(SettingsDialogGuiTest, BoxChangedAndAppliedSurvivesCancelAndReopening) {
  ASSERT_EQ(run_->Setting("quit"), "2");
  ASSERT_TRUE(OpenSettingsFromTheMenu());
  Box dialog = GeometryOf(DialogId());
  EXPECT_EQ(dialog.width, 472);
  EXPECT_EQ(dialog.height, 313);
  char mainWindow[32];
  snprintf(mainWindow, sizeof mainWindow, "window id # 0x%lx", std::stoul(MainWindowId()));
  EXPECT_NE(Shell("xprop -id " + DialogId() + " WM_TRANSIENT_FOR").find(mainWindow),
            std::string::npos)
      << "owned by the main window";
  EXPECT_NE(Shell("xprop -id " + DialogId() + " _NET_WM_STATE").find("SKIP_TASKBAR"),
            std::string::npos)
      << "the taskbar is left to the main window";
  ClickDialog(kHideToTrayBox);
  ClickDialog(kApplyButton);
  EXPECT_TRUE(WaitFor(
      "the box's setting written", [] { return run_->Setting("quit") == "1"; }, 5s));
  EXPECT_EQ(run_->Setting("tip"), "2");
  EXPECT_FALSE(DialogId().empty()) << "apply leaves the dialog open";

  ClickDialog(kBalloonBox);
  ClickDialog(kCancelButton);
  EXPECT_TRUE(WaitFor(
      "the dialog to close", [] { return DialogId().empty(); }, 5s));
  EXPECT_EQ(run_->Setting("tip"), "2") << "cancel writes nothing";

  ASSERT_TRUE(OpenSettingsFromTheMenu());
  ClickDialog(kHideToTrayBox);
  ClickDialog(kBalloonBox);
  ClickDialog(kOkButton);
  EXPECT_TRUE(WaitFor(
      "the dialog to close", [] { return DialogId().empty(); }, 5s));
  EXPECT_EQ(run_->Setting("quit"), "2") << "the box came back unticked from the file";
  EXPECT_EQ(run_->Setting("tip"), "1");
}

TEST_F(SettingsDialogGuiTest, SiteLinkOpensTheDefaultBrowser) {
  ASSERT_TRUE(OpenSettingsFromTheMenu());
  guint32 linkArea = DialogPixel(kSiteLink);
  ClickDialog(kAboutTab);
  ASSERT_TRUE(WaitFor(
      "the about page", [&] { return DialogPixel(kSiteLink) != linkArea; }, 5s));
  ClickDialog(kSiteLink);
  EXPECT_TRUE(WaitFor(
      "the browser", [] { return !browser_->Opened().empty(); }, 10s));
  EXPECT_EQ(browser_->Opened(),
            std::vector<std::string>{"http://127.0.0.1:" + std::to_string(LUMORA_DEMO_PORT) + "/"});
  ClickDialog(kCancelButton);
  EXPECT_TRUE(WaitFor(
      "the dialog to close", [] { return DialogId().empty(); }, 5s));
}

}  // namespace
}  // namespace lumora
