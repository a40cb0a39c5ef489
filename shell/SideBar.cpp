#include "shell/BA1.h"

namespace lumora {
namespace {

constexpr const char* kSideBarOpen = "关闭侧栏";
constexpr const char* kSideBarClosed = "显示侧栏";

// Left edge of each page tab's cell in the tab sheets.
int TabCell(int tab) {
  switch (tab) {
    case BA1::kPlayerTab:
      return 68;
    case BA1::kTvTab:
      return 136;
    case BA1::kShoppingTab:
      return 204;
    default:
      return 0;
  }
}

}  // namespace

// Gives a tab its selected or unselected look and shows or hides what it selects.
void BA1::MarkTab(Picture& tab, const Bitmap& sheet, Rect cell, Control& content, bool selected) {
  tab.Surface().Blit({0, 0}, sheet, cell);
  content.SetVisible(selected);
  tab.Refresh();
}

void BA1::SelectPageTab(int index) {
  if (index == CurrentPageTab) return;
  auto pageOf = [this](int tab) {
    switch (tab) {
      case kPlayerTab:
        return zz;
      case kTvTab:
        return tv;
      case kShoppingTab:
        return ying;
      default:
        return zzp;
    }
  };
  MarkTab(*npc[CurrentPageTab], skin_[SkinSheet::kPageTabs], {TabCell(CurrentPageTab), 0, 68, 28},
          *pageOf(CurrentPageTab), false);
  MarkTab(*npc[index], skin_[SkinSheet::kSelectedPageTabs], {TabCell(index), 0, 68, 28},
          *pageOf(index), true);
  CurrentPageTab = index;
}

void BA1::SelectListTab(int index, bool force) {
  if (index == CurrentListTab && !force) return;
  auto panelOf = [this](int tab) { return tab == kNowPlayingTab ? Pic5 : Pic3; };
  auto cellOf = [](int tab) { return tab == kNowPlayingTab ? 0 : 60; };
  MarkTab(*npc[CurrentListTab], skin_[SkinSheet::kListTabs], {cellOf(CurrentListTab), 21, 60, 21},
          *panelOf(CurrentListTab), false);
  MarkTab(*npc[index], skin_[SkinSheet::kListTabs], {cellOf(index), 0, 60, 21}, *panelOf(index),
          true);
  CurrentListTab = index;
}

void BA1::ToggleSideBar(Picture& handle, Picture& sideBar) {
  bool open = handle.Tooltip() == kSideBarOpen;
  handle.SetTooltip(open ? kSideBarClosed : kSideBarOpen);
  sideBar.SetVisible(!open);
  if (&sideBar == l2) {
    LayoutMainPage();
  } else {
    LayoutTvPage();
  }
}

}  // namespace lumora
