#include "core/Product.h"
#include "core/Settings.h"
#include "shell/BA1.h"
#include "shell/Theme.h"

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

void BA1::PaintButton(int index, bool hover) {
  Cell cell{hover ? SkinSheet::kButtonsHover : SkinSheet::kButtons, 0, {20, 21}};
  switch (index) {
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
      if (window_->State() == WindowState::Maximized)
        cell = {SkinSheet::kRestore, hover ? 20 : 0, {20, 21}};
      else
        cell.x = 80;
      break;
    case kOnTop: {
      bool on = OnTop();
      cell = {SkinSheet::kOnTop, (on ? 40 : 0) + (hover ? 20 : 0), {20, 21}};
      break;
    }
    default:
      return;
  }
  npc[index]->Surface().Blit({0, 0}, skin_[cell.sheet],
                             {cell.x, 0, cell.size.width, cell.size.height});
}

void BA1::PaintCaptionButtons() {
  for (int index : {kClose, kMaximize, kMinimize, kMenu, kCompact}) PaintButton(index, false);
  bool onTop = OnTop();
  npc[kOnTop]->Surface().Blit({0, 0}, skin_[SkinSheet::kOnTop], {onTop ? 48 : 0, 0, 24, 24});
  npc[kPortalTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kSelectedPageTabs], {0, 0, 68, 28});
  npc[kPlayerTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kPageTabs], {68, 0, 68, 28});
  npc[kTvTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kPageTabs], {136, 0, 68, 28});
  npc[kShoppingTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kPageTabs], {204, 0, 68, 28});
  npc[kListHeader]->Surface().StretchBlit({0, 0, 203, 28}, skin_[SkinSheet::kListHeader],
                                          {0, 0, 2, 28});
  npc[kNowPlayingTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kListTabs], {0, 21, 60, 21});
  npc[kHistoryTab]->Surface().Blit({0, 0}, skin_[SkinSheet::kListTabs], {0, 0, 60, 21});
  for (int index = 0; index <= kShoppingTab; ++index) npc[index]->Refresh();
}

void BA1::npc_MouseDown(int, const MouseEvent& event) {
  SuppressDoubleClick = event.button != MouseButton::Left ? 1 : 0;
}

// No click or double-click follows the release of another button than the left one, so the
// guard its press set ends here: it must not swallow a later command.
void BA1::EndSuppressionOnRelease(const MouseEvent& event) {
  if (event.button != MouseButton::Left) SuppressDoubleClick = 0;
}

bool BA1::OnTop() const {
  return npc[kOnTop]->Tooltip() != kOnTopOff;
}

void BA1::npc_MouseMove(int index, const MouseEvent& event) {
  window_->SetPointer(PointerShape::Arrow);
  if (index >= kPlayerTab) return;
  Size size = npc[index]->Geometry().Extent();
  bool inside = event.x >= 0 && event.x <= size.width && event.y >= 0 && event.y <= size.height;
  if (index <= kMenu) PaintButton(index, inside);
  if (inside && index <= kOnTop) {
    ShowButtonTooltip(index);
  } else if (!inside) {
    P1->SetVisible(false);
  }
  npc[index]->Refresh();
}

void BA1::ShowButtonTooltip(int index) {
  bo_tip->SetCaption(npc[index]->Tooltip());
  bo_tip->Move({2, 2});
  Rect button = npc[index]->Geometry();
  Size text = bo_tip->Geometry().Extent();
  P1->SetGeometry({button.x - 5, button.y + button.height + 3, text.width + 5, text.height + 5});
  P1->Surface().Fill(kTooltipBack);
  P1->Refresh();
  P1->SetVisible(true);
}

void BA1::ResetHoverColours() {
  if (jbi->ForeColor() != kDarkRed) jbi->SetForeColor(kDarkRed);
  if (qk->ForeColor() != kClearListGrey) qk->SetForeColor(kClearListGrey);
  TickerUnderline(TickerIndex, false);
  TickerHover = 0;
}

void BA1::npc_Click(int index) {
  P1->SetVisible(false);
  ResetHoverColours();
  if (SuppressDoubleClick == 1) {
    SuppressDoubleClick = 0;
    return;
  }
  switch (index) {
    case kMinimize:
      window_->SetState(WindowState::Minimized);
      PaintButton(kMinimize, false);
      npc[kMinimize]->Refresh();
      break;
    case kMaximize:
      MaximizeCommand();
      break;
    case kClose:
      CloseCommand();
      break;
    case kCompact:
      CompactCommand();
      break;
    case kOnTop: {
      bool turnOn = !OnTop();
      npc[kOnTop]->Surface().Blit({0, 0}, skin_[SkinSheet::kOnTop], {0, 0, 24, 24});
      npc[kOnTop]->SetTooltip(turnOn ? kOnTopOn : kOnTopOff);
      zhi_d(turnOn ? 1 : 0);
      npc[kOnTop]->Refresh();
      break;
    }
    case kMenu:
      PaintButton(kMenu, false);
      npc[kMenu]->Refresh();
      if (onMenuRequested) {
        Rect menu = npc[kMenu]->Geometry();
        onMenuRequested({menu.x - 10, menu.y + 20});
      }
      break;
    case kMainSideBarHandle:
      ToggleSideBar(*npc[kMainSideBarHandle], *l2);
      break;
    case kTvSideBarHandle:
      ToggleSideBar(*npc[kTvSideBarHandle], *tvright);
      break;
    case kPlayerTab:
    case kPortalTab:
    case kTvTab:
    case kShoppingTab:
      SelectPageTab(index);
      break;
    case kNowPlayingTab:
    case kHistoryTab:
      SelectListTab(index, false);
      break;
    default:
      break;
  }
}

void BA1::CenterOnScreen() {
  Size screen = platform_.GetDesktop().ScreenSize();
  Rect bounds = window_->Bounds();
  window_->SetBounds({(screen.width - bounds.width) / 2, (screen.height - bounds.height) / 2,
                      bounds.width, bounds.height});
}

void BA1::MaximizeCommand() {
  if (window_->State() == WindowState::Maximized) {
    window_->SetState(WindowState::Normal);
    npc[kMaximize]->SetTooltip(kMaximizeText);
    npc[kMaximize]->Surface().Blit({0, 0}, skin_[SkinSheet::kButtons], {80, 0, 20, 21});
    CenterOnScreen();
  } else {
    window_->SetState(WindowState::Maximized);
    npc[kMaximize]->SetTooltip(kRestoreText);
    npc[kMaximize]->Surface().Blit({0, 0}, skin_[SkinSheet::kRestore], {0, 0, 20, 21});
  }
  npc[kMaximize]->Refresh();
}

void BA1::CloseCommand() {
  PaintButton(kClose, false);
  npc[kClose]->Refresh();
  int ts = ReadSetting("ts");
  int quit = ReadSetting("quit");
  if (ts == 3) {
    MessageAnswer answer = platform_.GetDesktop().ShowMessage(
        window_.get(), "关闭 " + std::string(kProductName) + "  最小化到托盘吗？", "提示：",
        MessageButtons::YesNo, MessageIcon::Question);
    // Dismissing the question cancels the close, and it is asked again next time.
    if (answer == MessageAnswer::Dismissed) return;
    bool toTray = answer == MessageAnswer::Yes;
    IniWrite(ConfigPath(), "S_q", "ts", "1");
    IniWrite(ConfigPath(), "S_q", "quit", toTray ? "2" : "1");
    return toTray ? HideToTray() : ttt_v();
  }
  if (quit == 1) return ttt_v();
  HideToTray();
}

// Without a tray host showing the icon, a hidden window could not be reached again.
void BA1::HideToTray() {
  if (platform_.GetTrayIcon().IsShown()) {
    window_->Hide();
  } else {
    window_->SetState(WindowState::Minimized);
  }
}

void BA1::CompactCommand() {
  if (PlayerState == 0) return;
  SelectPageTab(PlayerState == 1 ? kPlayerTab : kTvTab);
  window_->SetState(WindowState::Normal);
  jbi->SetVisible(true);
  gunp->SetVisible(false);
  for (Picture* element : npc) element->SetVisible(false);
  ni_name->SetVisible(false);
  if (CurrentPageTab == kPlayerTab) {
    CompactMode = 1;
    ggx->SetVisible(false);
    ni_bo1->SetVisible(true);
    l2->SetVisible(false);
  } else {
    CompactMode = 2;
    gtv->SetVisible(false);
    tvright->SetVisible(false);
  }
  Rect bounds = window_->Bounds();
  window_->SetBounds({bounds.x, bounds.y, TwipsToPixels(kCompactTwips.width),
                      TwipsToPixels(kCompactTwips.height)});
  PaintButton(kCompact, false);
  npc[kCompact]->Refresh();
}

void BA1::jbi_Click() {
  if (window_->State() == WindowState::Maximized) {
    window_->SetState(WindowState::Normal);
    npc[kMaximize]->Surface().Blit({0, 0}, skin_[SkinSheet::kButtons], {80, 0, 20, 21});
    npc[kMaximize]->Refresh();
  }
  for (int index = 0; index < static_cast<int>(npc.size()); ++index) {
    if (index != kOpen) npc[index]->SetVisible(true);
  }
  jbi->SetVisible(false);
  ni_name->SetCaption(std::string(kProductName) + " " + std::string(kAppVersion));
  ni_name->SetVisible(true);
  if (TickerEnabled == 1) gunp->SetVisible(true);
  if (CompactMode == 1) {
    ggx->SetVisible(true);
    l2->SetVisible(npc[kMainSideBarHandle]->Tooltip() == "关闭侧栏");
  } else if (CompactMode == 2) {
    gtv->SetVisible(true);
    tvright->SetVisible(npc[kTvSideBarHandle]->Tooltip() == "关闭侧栏");
  }
  CompactMode = 0;
  Rect bounds = window_->Bounds();
  window_->SetBounds(
      {bounds.x, bounds.y, TwipsToPixels(ReadSetting("h_w")), TwipsToPixels(ReadSetting("h_h"))});
  CenterOnScreen();
}

void BA1::zhi_d(int flag) {
  window_->SetAlwaysOnTop(flag == 1);
}

void BA1::OnDoubleClick() {
  if (SuppressDoubleClick == 1) {
    SuppressDoubleClick = 0;
    return;
  }
  npc_Click(kMaximize);
}

}  // namespace lumora
