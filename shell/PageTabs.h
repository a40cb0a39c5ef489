#pragma once

#include <array>
#include <functional>

#include "platform/Window.h"
#include "shell/ChromeClicks.h"
#include "shell/SkinSheets.h"

namespace lumora {

// The four pages of the window (CurrentPageTab 8, 9, 13, 14): video player, portal, TV and the
// shopping page.
enum class Page { Player, Portal, Tv, Shopping };

// The page tabs of the caption and the pages they show, one at a time; the portal at start.
class PageTabs {
 public:
  PageTabs(TopWindow& window, const SkinSheets& skin, ChromeClicks& clicks);

  // The page's area, where its part places its controls: zz, zzp, tv and ying.
  Picture& Area(Page page) { return *pages_[Index(page)]; }
  void Paint();
  void Layout(Size client);
  void Select(Page page);
  Page Current() const { return current_; }
  void SetTabsVisible(bool visible);

  // A page came into sight.
  std::function<void(Page)> onShown;

 private:
  static int Index(Page page) { return static_cast<int>(page); }
  void Mark(Page page, bool selected);

  const SkinSheets& skin_;
  std::array<Picture*, 4> pages_{};
  Picture* tabList_ = nullptr;      // holds the tabs, transparent, at their strip
  std::array<Picture*, 4> tabs_{};  // npc(8), npc(9), npc(13), npc(14)
  Page current_ = Page::Portal;
};

}  // namespace lumora
