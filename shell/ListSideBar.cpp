#include "shell/ListSideBar.h"

#include <utility>

#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

constexpr int kHeaderHeight = 28;
constexpr int kStripHeight = 25;
constexpr Size kTabSize{60, 21};
constexpr Rect kTabListPlace{25, 4, 140, 21};  // from the now-playing tab to the history tab's end

int TabCell(ListTab tab) {
  return tab == ListTab::NowPlaying ? 0 : 60;
}

const char* TabTitle(ListTab tab) {
  return tab == ListTab::NowPlaying ? "正在播放" : "历史观看";
}

}  // namespace

ListSideBar::ListSideBar(Platform& platform, TopWindow& window, Picture& bar,
                         const SkinSheets& skin, ChromeClicks& clicks, HistoryStore& playList)
    : platform_(platform), window_(window), skin_(skin), playList_(playList) {
  header_ = &bar.AddPicture();
  tabList_ = &bar.AddPicture();
  tabList_->SetAccessible({AccessibleRole::PageTabList, "列表"});
  for (ListTab tab : {ListTab::NowPlaying, ListTab::History}) {
    tabs_[Index(tab)] = &tabList_->AddPicture();
    tabs_[Index(tab)]->SetAccessible({AccessibleRole::PageTab, TabTitle(tab), tab == current_});
    clicks.Wire(*tabs_[Index(tab)], [this, tab] { SelectTab(tab, false); });
  }
  tabs_[Index(ListTab::NowPlaying)]->SetPointer(PointerShape::Hand);
  for (ListTab tab : {ListTab::History, ListTab::NowPlaying}) {
    Picture& panel = bar.AddPicture();
    panel.SetBackColor(kPageBack);
    panel.SetVisible(tab == current_);
    panels_[Index(tab)] = &panel;
  }
  historyView_ = &panels_[Index(ListTab::History)]->AddWebView();
  informationView_ = &panels_[Index(ListTab::NowPlaying)]->AddWebView();
  strip_ = &bar.AddPicture();
  strip_->SetBackColor(kStripBack);
  clearList_ = &strip_->AddLabel();
  clearList_->SetCaption("∴ 清空列表");
  clearList_->SetForeColor(kClearListGrey);
  clearList_->SetAutoSize(true);
  clearList_->SetAccessible({AccessibleRole::PushButton, "清空列表"});
  clearList_->onMouseMove = [this](const MouseEvent&) {
    window_.SetPointer(PointerShape::Arrow);
    clearList_->SetForeColor(kDarkRed);
  };
  strip_->onMouseMove = [this](const MouseEvent&) {
    window_.SetPointer(PointerShape::Arrow);
    clearList_->SetForeColor(kClearListGrey);
  };
  clearList_->onClick = [this] { ClearList(); };
}

void ListSideBar::Paint() {
  header_->Surface().StretchBlit({0, 0, 203, kHeaderHeight}, skin_[SkinSheet::kListHeader],
                                 {0, 0, 2, kHeaderHeight});
  header_->Refresh();
  tabs_[Index(ListTab::NowPlaying)]->Surface().Blit({0, 0}, skin_[SkinSheet::kListTabs],
                                                    {0, 21, kTabSize.width, kTabSize.height});
  tabs_[Index(ListTab::History)]->Surface().Blit({0, 0}, skin_[SkinSheet::kListTabs],
                                                 {0, 0, kTabSize.width, kTabSize.height});
  SelectTab(current_, true);
}

void ListSideBar::Layout(Size bar) {
  header_->SetGeometry({0, 0, kSideBarWidth, kHeaderHeight});
  tabList_->SetGeometry(kTabListPlace);
  tabs_[Index(ListTab::NowPlaying)]->SetGeometry({0, 0, kTabSize.width, kTabSize.height});
  tabs_[Index(ListTab::History)]->SetGeometry(
      {kTabListPlace.width - kTabSize.width, 0, kTabSize.width, kTabSize.height});
  strip_->SetGeometry({0, bar.height - kStripHeight, bar.width, kStripHeight});
  clearList_->Move({bar.width - 80, 6});
  Rect list{0, kHeaderHeight, bar.width, bar.height - kHeaderHeight - kStripHeight};
  for (Picture* panel : panels_) panel->SetGeometry(list);
  PlaceViewInFrame(*historyView_, list.Extent());
  PlaceViewInFrame(*informationView_, list.Extent());
}

// Gives a tab its selected or unselected look and shows or hides its panel.
void ListSideBar::Mark(ListTab tab, bool selected) {
  Picture& picture = *tabs_[Index(tab)];
  picture.Surface().Blit({0, 0}, skin_[SkinSheet::kListTabs],
                         {TabCell(tab), selected ? 0 : 21, kTabSize.width, kTabSize.height});
  panels_[Index(tab)]->SetVisible(selected);
  picture.SetAccessible({AccessibleRole::PageTab, TabTitle(tab), selected});
  picture.Refresh();
}

void ListSideBar::SelectTab(ListTab tab, bool force) {
  if (tab == current_ && !force) return;
  Mark(current_, false);
  Mark(tab, true);
  current_ = tab;
  if (tab == ListTab::History && historyPageToLoad_) {
    historyView_->Navigate2(*std::exchange(historyPageToLoad_, std::nullopt));
  }
}

void ListSideBar::ShowHistoryPage(const std::string& page) {
  if (current_ == ListTab::History) {
    historyView_->Navigate2(page);
  } else {
    historyPageToLoad_ = page;
  }
}

void ListSideBar::ResetHover() {
  if (clearList_->ForeColor() != kClearListGrey) clearList_->SetForeColor(kClearListGrey);
}

void ListSideBar::ClearList() {
  clearList_->SetForeColor(kClearListGrey);
  MessageAnswer answer =
      platform_.GetDesktop().ShowMessage(&window_, "确定要删除全部[播放列表吗？", "提示：",
                                         MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) playList_.ClearHistory();
}

}  // namespace lumora
