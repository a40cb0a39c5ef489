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
  Picture& current = *npc[CurrentPageTab];
  current.Surface().Blit({0, 0}, ppt[8], {TabCell(CurrentPageTab), 0, 68, 28});
  pageOf(CurrentPageTab)->SetVisible(false);
  current.Refresh();
  Picture& next = *npc[index];
  next.Surface().Blit({0, 0}, ppt[7], {TabCell(index), 0, 68, 28});
  pageOf(index)->SetVisible(true);
  next.Refresh();
  CurrentPageTab = index;
}

void BA1::SelectListTab(int index, bool force) {
  if (index == CurrentListTab && !force) return;
  auto panelOf = [this](int tab) { return tab == kNowPlayingTab ? Pic5 : Pic3; };
  auto cellOf = [](int tab) { return tab == kNowPlayingTab ? 0 : 60; };
  Picture& current = *npc[CurrentListTab];
  current.Surface().Blit({0, 0}, ppt[9], {cellOf(CurrentListTab), 21, 60, 21});
  panelOf(CurrentListTab)->SetVisible(false);
  current.Refresh();
  Picture& next = *npc[index];
  next.Surface().Blit({0, 0}, ppt[9], {cellOf(index), 0, 60, 21});
  panelOf(index)->SetVisible(true);
  next.Refresh();
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
