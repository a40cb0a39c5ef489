#pragma once

#include <array>
#include <optional>
#include <string>

#include "content/HistoryStore.h"
#include "platform/Platform.h"
#include "shell/ChromeClicks.h"
#include "shell/SkinSheets.h"

namespace lumora {

// The two tabs of the list side bar (CurrentListTab 11, 12); the history at start.
enum class ListTab { NowPlaying, History };

// The side bar of the player page (l2): the item information view (Web5) of what is now playing,
// the history page view (Web3), their tabs, and the label that clears the play list.
class ListSideBar {
 public:
  ListSideBar(Platform& platform, TopWindow& window, Picture& bar, const SkinSheets& skin,
              ChromeClicks& clicks, HistoryStore& playList);

  WebView& InformationView() { return *informationView_; }
  WebView& HistoryView() { return *historyView_; }
  void Paint();
  void Layout(Size bar);
  // force: mark the tab even when it is already the current one.
  void SelectTab(ListTab tab, bool force);
  // Loads the history page at `page` into its view, or, while the history tab is hidden, when the
  // tab is next shown: every play hides it, and loading it then would only hold up the player
  // page, which shares the web process.
  void ShowHistoryPage(const std::string& page);
  ListTab Current() const { return current_; }
  // Undoes the clear-list label's hover colour.
  void ResetHover();

 private:
  static int Index(ListTab tab) { return static_cast<int>(tab); }
  void Mark(ListTab tab, bool selected);
  void ClearList();

  Platform& platform_;
  TopWindow& window_;
  const SkinSheets& skin_;
  HistoryStore& playList_;
  Picture* header_ = nullptr;           // npc(10)
  Picture* tabList_ = nullptr;          // holds the tabs, transparent, over the header
  std::array<Picture*, 2> tabs_{};      // npc(11), npc(12)
  std::array<Picture*, 2> panels_{};    // Pic5, Pic3
  WebView* informationView_ = nullptr;  // Web5
  WebView* historyView_ = nullptr;      // Web3
  Picture* strip_ = nullptr;            // shan
  Label* clearList_ = nullptr;          // qk
  ListTab current_ = ListTab::History;
  std::optional<std::string> historyPageToLoad_;  // while the history tab is hidden
};

}  // namespace lumora
