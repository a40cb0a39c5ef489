#pragma once

#include <functional>

#include "platform/Controls.h"
#include "shell/ChromeClicks.h"
#include "shell/SkinSheets.h"

namespace lumora {

// A page split into a left area and a side bar that a handle closes and opens. The handle sits
// on the side bar's left edge while it is open and at the page's right edge while it is closed.
class SplitPage {
 public:
  SplitPage(Picture& page, const SkinSheets& skin, ChromeClicks& clicks);

  Picture& Page() { return page_; }
  Picture& Left() { return *left_; }
  Picture& SideBar() { return *sideBar_; }
  // Places the side bar, the handle and the left area in the page; returns the left area's size.
  Size Layout();
  // Places the page with its left area over all of it, as the compact player shows it.
  void LayoutLeftOnly(Rect page);
  void SetHandleVisible(bool visible);
  // Hides the side bar, or shows it again as the user left it.
  void SetSideBarVisible(bool visible);

  // The handle opened or closed the side bar and laid the page out again.
  std::function<void()> onToggled;

 private:
  void Toggle();

  Picture& page_;
  const SkinSheets& skin_;
  Picture* left_ = nullptr;
  Picture* sideBar_ = nullptr;
  Picture* handle_ = nullptr;  // npc(6) of the player page, npc(15) of the TV page
  bool open_ = true;
};

}  // namespace lumora
