#include "shell/PageTabs.h"

#include "shell/Theme.h"

namespace lumora {
namespace {

constexpr Size kTabSize{68, 28};
constexpr Point kStripOrigin{20, 8};
constexpr Page kTabOrder[] = {Page::Portal, Page::Player, Page::Tv, Page::Shopping};

// Left edge of each page tab's cell in the tab sheets, in the order of the caption.
int TabCell(Page page) {
  switch (page) {
    case Page::Player:
      return 68;
    case Page::Tv:
      return 136;
    case Page::Shopping:
      return 204;
    case Page::Portal:
      break;
  }
  return 0;
}

// The title drawn on each page tab.
const char* TabTitle(Page page) {
  switch (page) {
    case Page::Player:
      return "播放";
    case Page::Tv:
      return "电视";
    case Page::Shopping:
      return "淘宝";
    case Page::Portal:
      break;
  }
  return "影视";
}

}  // namespace

PageTabs::PageTabs(TopWindow& window, const SkinSheets& skin, ChromeClicks& clicks) : skin_(skin) {
  for (Page page : kTabOrder) {
    Picture& area = window.AddPicture();
    area.SetBackColor(kPageBack);
    area.SetVisible(page == current_);
    pages_[Index(page)] = &area;
  }
  tabList_ = &window.AddPicture();
  tabList_->SetAccessible({AccessibleRole::PageTabList, "页面"});
  for (Page page : {Page::Player, Page::Portal, Page::Tv, Page::Shopping}) {
    tabs_[Index(page)] = &tabList_->AddPicture();
    tabs_[Index(page)]->SetAccessible({AccessibleRole::PageTab, TabTitle(page), page == current_});
    clicks.Wire(*tabs_[Index(page)], [this, page] { Select(page); });
  }
}

void PageTabs::Paint() {
  for (Page page : kTabOrder) {
    SkinSheet sheet = page == Page::Portal ? SkinSheet::kSelectedPageTabs : SkinSheet::kPageTabs;
    tabs_[Index(page)]->Surface().Blit({0, 0}, skin_[sheet],
                                       {TabCell(page), 0, kTabSize.width, kTabSize.height});
    tabs_[Index(page)]->Refresh();
  }
}

void PageTabs::Layout(Size client) {
  int left = 0;
  for (Page page : kTabOrder) {
    tabs_[Index(page)]->SetGeometry({left, 0, kTabSize.width, kTabSize.height});
    left += kTabSize.width;
  }
  tabList_->SetGeometry({kStripOrigin.x, kStripOrigin.y, left, kTabSize.height});
  for (Picture* area : pages_) area->SetGeometry({7, 41, client.width - 14, client.height - 77});
}

// Gives a tab its selected or unselected look and shows or hides its page.
void PageTabs::Mark(Page page, bool selected) {
  Picture& tab = *tabs_[Index(page)];
  SkinSheet sheet = selected ? SkinSheet::kSelectedPageTabs : SkinSheet::kPageTabs;
  tab.Surface().Blit({0, 0}, skin_[sheet], {TabCell(page), 0, kTabSize.width, kTabSize.height});
  pages_[Index(page)]->SetVisible(selected);
  tab.SetAccessible({AccessibleRole::PageTab, TabTitle(page), selected});
  tab.Refresh();
}

void PageTabs::Select(Page page) {
  if (page == current_) return;
  Mark(current_, false);
  Mark(page, true);
  current_ = page;
  if (onShown) onShown(page);
}

void PageTabs::SetTabsVisible(bool visible) {
  tabList_->SetVisible(visible);
}

}  // namespace lumora
