#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace lumora::headless {
namespace {

TEST(HeadlessMenuTest, ChoosingWorksOnlyOnAnOpenMenuAndClosesItFirst) {
  HeadlessPlatform platform;
  std::unique_ptr<TopWindow> owner = platform.CreateWindow();
  std::unique_ptr<Menu> menu = platform.CreateMenu();
  HeadlessMenu& shown = AsHeadless(*menu);
  std::vector<std::string> ran;
  menu->AddItem("Back", [&] { ran.push_back(shown.IsOpen() ? "Back while open" : "Back"); });
  menu->AddSeparator();
  menu->AddItem("Quit", [&] { menu.reset(); });
  EXPECT_EQ(shown.Captions(), (std::vector<std::string>{"Back", "-", "Quit"}));

  EXPECT_FALSE(shown.Choose("Back")) << "a closed menu offers nothing";
  menu->PopupAt(*owner, {12, 30});
  EXPECT_FALSE(shown.Choose("-"));
  EXPECT_FALSE(shown.Choose("Missing"));
  EXPECT_TRUE(shown.Choose("Back"));
  EXPECT_FALSE(shown.Choose("Back")) << "choosing closed the menu";
  menu->PopupAtPointer(*owner);
  shown.Dismiss();
  EXPECT_FALSE(shown.Choose("Back"));
  EXPECT_EQ(ran, std::vector<std::string>{"Back"});
  EXPECT_EQ(shown.Popups(),
            (std::vector<MenuPopup>{{owner.get(), Point{12, 30}}, {owner.get(), std::nullopt}}));

  ASSERT_EQ(platform.Menus(), MenuList{&shown});
  menu->PopupAtPointer(*owner);
  EXPECT_TRUE(shown.Choose("Quit")) << "a command may destroy its menu";
  EXPECT_TRUE(platform.Menus().empty());
}

TEST(HeadlessTrayIconTest, ShowsTheAddedIconAndBalloonsOnlyWhileAdded) {
  HeadlessPlatform platform;
  TrayIcon& tray = platform.GetTrayIcon();
  HeadlessTrayIcon& shown = platform.Tray();
  tray.ShowBalloon("Lumora", "too early");
  EXPECT_EQ(shown.Shown(), TrayRecord{});

  Bitmap icon(Size{16, 16});
  tray.Add(icon, "Lumora");
  tray.ShowBalloon("Note", "first");
  tray.ShowBalloon("Note:", "second");
  EXPECT_EQ(shown.Shown(), (TrayRecord{0, "Lumora", "Note:", "second", true, true}));
  EXPECT_EQ(shown.BalloonCount(), 2);
  EXPECT_EQ(shown.Icon().Surface(), icon.Surface());

  tray.Remove();
  tray.ShowBalloon("Note", "after removal");
  EXPECT_FALSE(shown.Shown().added);
  EXPECT_EQ(shown.BalloonCount(), 2);
}

}  // namespace
}  // namespace lumora::headless
