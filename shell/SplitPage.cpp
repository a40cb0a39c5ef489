#include "shell/SplitPage.h"

#include "shell/Theme.h"

namespace lumora {
namespace {

constexpr const char* kSideBarOpen = "关闭侧栏";
constexpr const char* kSideBarClosed = "显示侧栏";

// What the handle does when pressed, as assistive technology names it.
AccessibleInfo HandleAccessible(bool open) {
  return {AccessibleRole::PushButton, open ? "关闭侧栏" : "打开侧栏"};
}

}  // namespace

SplitPage::SplitPage(Picture& page, const SkinSheets& skin, ChromeClicks& clicks)
    : page_(page), skin_(skin) {
  left_ = &page.AddPicture();
  left_->SetBackColor(kPageBack);
  sideBar_ = &page.AddPicture();
  sideBar_->SetBackColor(kPageBack);
  handle_ = &page.AddPicture();
  handle_->SetTooltip(kSideBarOpen);
  handle_->SetAccessible(HandleAccessible(open_));
  clicks.Wire(*handle_, [this] { Toggle(); });
}

Size SplitPage::Layout() {
  Size extent = page_.Geometry().Extent();
  sideBar_->SetGeometry({extent.width - kSideBarWidth, 0, kSideBarWidth, extent.height});
  int handleLeft = extent.width - (open_ ? kSideBarWidth : kHandleSize.width);
  handle_->SetGeometry({handleLeft, (extent.height - kHandleSize.height) / 2, kHandleSize.width,
                        kHandleSize.height});
  handle_->Surface().Blit({0, 0}, skin_[SkinSheet::kSideBarHandles], {open_ ? 0 : 7, 0, 7, 40});
  handle_->Refresh();
  left_->SetGeometry({0, 0, open_ ? handleLeft : extent.width, extent.height});
  return left_->Geometry().Extent();
}

void SplitPage::Toggle() {
  open_ = !open_;
  handle_->SetTooltip(open_ ? kSideBarOpen : kSideBarClosed);
  handle_->SetAccessible(HandleAccessible(open_));
  sideBar_->SetVisible(open_);
  if (onToggled) onToggled();
}

void SplitPage::LayoutLeftOnly(Rect page) {
  page_.SetGeometry(page);
  left_->SetGeometry({0, 0, page.width, page.height});
}

void SplitPage::SetHandleVisible(bool visible) {
  handle_->SetVisible(visible);
}

void SplitPage::SetSideBarVisible(bool visible) {
  sideBar_->SetVisible(visible && open_);
}

}  // namespace lumora
