#include "shell/CaptionBar.h"

#include "core/Product.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

constexpr const char* kOnTopOff = "置顶";
constexpr const char* kOnTopOn = "取消置顶";
constexpr const char* kMaximizeText = "最大化";
constexpr const char* kRestoreText = "还原";

struct Cell {
  SkinSheet sheet;
  int x;
  Size size;
};

}  // namespace

CaptionBar::CaptionBar(Platform& platform, TopWindow& window, const SkinSheets& skin,
                       ChromeClicks& clicks)
    : platform_(platform), window_(window), skin_(skin) {
  CreateButtons(clicks);
  CreateCompactControls();
}

void CaptionBar::CreateButtons(ChromeClicks& clicks) {
  static constexpr const char* kTips[] = {"最小化",   kMaximizeText, "关闭",
                                          "精简模式", kOnTopOff,     "菜单"};
  for (int index = 0; index < kButtonCount; ++index) {
    auto button = static_cast<Button>(index);
    buttons_[index] = &window_.AddPicture();
    SetTip(button, kTips[index]);
    clicks.Wire(*buttons_[index], [this, button] { Click(button); });
    buttons_[index]->onMouseMove = [this, button](const MouseEvent& event) {
      PointerMove(button, event);
    };
  }
}

void CaptionBar::CreateCompactControls() {
  compactCaption_ = &window_.AddLabel();
  compactCaption_->SetCaption(std::string(kProductName));
  compactCaption_->SetForeColor(kProductLabelGrey);
  compactCaption_->SetAutoSize(true);
  compactCaption_->Move({6, 3});
  compactCaption_->SetVisible(false);
  exitCompact_ = &window_.AddLabel();
  exitCompact_->SetCaption(kExitCompactGlyph);
  exitCompact_->SetGeometry({0, 2, 15, 14});
  exitCompact_->SetForeColor(kDarkRed);
  exitCompact_->SetTooltip("退出精简");
  exitCompact_->SetAccessible({AccessibleRole::PushButton, "退出精简"});
  exitCompact_->SetVisible(false);
  exitCompact_->onClick = [this] {
    if (onLeaveCompact) onLeaveCompact();
  };
  exitCompact_->onMouseMove = [this](const MouseEvent&) {
    window_.SetPointer(PointerShape::Arrow);
    exitCompact_->SetForeColor(kBrightRed);
  };
  // Added after the pages, so it shows above them.
  tooltip_ = &window_.AddPicture();
  tooltip_->SetBackColor(kTooltipBack);
  tooltipText_ = &tooltip_->AddLabel();
  tooltipText_->SetAutoSize(true);
  tooltipText_->SetForeColor(kTooltipText);
  tooltipText_->SetBackColor(kTooltipBack);
  tooltip_->SetVisible(false);
}

void CaptionBar::SetTip(Button button, const char* text) {
  buttons_[button]->SetTooltip(text);
  // The on-top button keeps its name; its pressed state tells whether the window is on top.
  if (button == kOnTop) {
    buttons_[button]->SetAccessible({AccessibleRole::ToggleButton, kOnTopOff, onTop_});
  } else {
    buttons_[button]->SetAccessible({AccessibleRole::PushButton, text});
  }
}

void CaptionBar::PaintButton(Button button, bool hover) {
  Cell cell{hover ? SkinSheet::kButtonsHover : SkinSheet::kButtons, 0, {20, 21}};
  switch (button) {
    case kMinimize:
      cell.x = 60;
      break;
    case kClose:
      cell.x = 100;
      break;
    case kCompact:
      cell.x = 120;
      break;
    case kMenu:
      cell.size = {60, 21};
      break;
    case kMaximize:
      if (window_.State() == WindowState::Maximized)
        cell = {SkinSheet::kRestore, hover ? 20 : 0, {20, 21}};
      else
        cell.x = 80;
      break;
    case kOnTop:
      cell = {SkinSheet::kOnTop, (onTop_ ? 40 : 0) + (hover ? 20 : 0), {20, 21}};
      break;
    case kButtonCount:
      return;
  }
  buttons_[button]->Surface().Blit({0, 0}, skin_[cell.sheet],
                                   {cell.x, 0, cell.size.width, cell.size.height});
}

void CaptionBar::Paint() {
  for (Button button : {kClose, kMaximize, kMinimize, kMenu, kCompact}) PaintButton(button, false);
  buttons_[kOnTop]->Surface().Blit({0, 0}, skin_[SkinSheet::kOnTop], {onTop_ ? 48 : 0, 0, 24, 24});
  for (Picture* button : buttons_) button->Refresh();
}

void CaptionBar::Layout(Size client) {
  struct Place {
    Button button;
    int step;
    Size size;
  };
  static constexpr Place kPlaces[] = {{kClose, 0, {20, 21}},     {kMaximize, 22, {20, 21}},
                                      {kMinimize, 22, {20, 21}}, {kOnTop, 24, {20, 21}},
                                      {kMenu, 60, {60, 20}},     {kCompact, 22, {20, 21}}};
  int left = client.width - 32;
  for (const Place& place : kPlaces) {
    left -= place.step;
    buttons_[place.button]->SetGeometry({left, 7, place.size.width, place.size.height});
  }
}

void CaptionBar::LayoutCompact(Size client) {
  exitCompact_->Move({client.width - exitCompact_->Geometry().width - 10, 2});
}

void CaptionBar::PointerMove(Button button, const MouseEvent& event) {
  window_.SetPointer(PointerShape::Arrow);
  Size size = buttons_[button]->Geometry().Extent();
  bool inside = event.x >= 0 && event.x <= size.width && event.y >= 0 && event.y <= size.height;
  PaintButton(button, inside);
  if (inside && button != kMenu) {
    ShowTooltip(button);
  } else if (!inside) {
    tooltip_->SetVisible(false);
  }
  buttons_[button]->Refresh();
}

void CaptionBar::ShowTooltip(Button button) {
  tooltipText_->SetCaption(buttons_[button]->Tooltip());
  tooltipText_->Move({2, 2});
  Rect at = buttons_[button]->Geometry();
  Size text = tooltipText_->Geometry().Extent();
  tooltip_->SetGeometry({at.x - 5, at.y + at.height + 3, text.width + 5, text.height + 5});
  tooltip_->Surface().Fill(kTooltipBack);
  tooltip_->Refresh();
  tooltip_->SetVisible(true);
}

void CaptionBar::HideTooltip() {
  tooltip_->SetVisible(false);
}

void CaptionBar::ResetHover() {
  if (exitCompact_->ForeColor() != kDarkRed) exitCompact_->SetForeColor(kDarkRed);
}

void CaptionBar::Click(Button button) {
  switch (button) {
    case kMinimize:
      window_.SetState(WindowState::Minimized);
      PaintButton(kMinimize, false);
      break;
    case kMaximize:
      return ToggleMaximize();
    case kClose:
      PaintButton(kClose, false);
      buttons_[kClose]->Refresh();
      if (onClose) onClose();
      return;
    case kCompact:
      if (onCompact) onCompact();
      return;
    case kOnTop:
      return ToggleOnTop();
    case kMenu:
      return OpenMenu();
    case kButtonCount:
      return;
  }
  buttons_[button]->Refresh();
}

void CaptionBar::OpenMenu() {
  PaintButton(kMenu, false);
  buttons_[kMenu]->Refresh();
  if (onMenu) {
    Rect menu = buttons_[kMenu]->Geometry();
    onMenu({menu.x - 10, menu.y + 20});
  }
}

// zhi_d: the window's place in the stacking order changes, its position and size stay.
void CaptionBar::ToggleOnTop() {
  onTop_ = !onTop_;
  buttons_[kOnTop]->Surface().Blit({0, 0}, skin_[SkinSheet::kOnTop], {0, 0, 24, 24});
  SetTip(kOnTop, onTop_ ? kOnTopOn : kOnTopOff);
  window_.SetAlwaysOnTop(onTop_);
  buttons_[kOnTop]->Refresh();
}

void CaptionBar::ShowWindowState() {
  SetTip(kMaximize, window_.State() == WindowState::Maximized ? kRestoreText : kMaximizeText);
  PaintButton(kMaximize, false);
  buttons_[kMaximize]->Refresh();
}

void CaptionBar::ToggleMaximize() {
  if (window_.State() == WindowState::Maximized) {
    window_.SetState(WindowState::Normal);
    CenterOnScreen(window_, platform_.GetDesktop().ScreenSize());
  } else {
    window_.SetState(WindowState::Maximized);
  }
}

void CaptionBar::EnterCompact(CompactMode mode) {
  compact_ = mode;
  exitCompact_->SetVisible(true);
  for (Picture* button : buttons_) button->SetVisible(false);
  if (mode == CompactMode::Player) compactCaption_->SetVisible(true);
  PaintButton(kCompact, false);
  buttons_[kCompact]->Refresh();
}

// The compact caption goes too: left behind, it would sit on the frame over the page tabs.
void CaptionBar::LeaveCompact() {
  if (window_.State() == WindowState::Maximized) window_.SetState(WindowState::Normal);
  for (Picture* button : buttons_) button->SetVisible(true);
  exitCompact_->SetVisible(false);
  compactCaption_->SetVisible(false);
  compact_ = CompactMode::Off;
}

}  // namespace lumora
