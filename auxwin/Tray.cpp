#include "auxwin/Tray.h"

#include <utility>

#include "auxwin/BA3Settings.h"
#include "core/Product.h"
#include "core/TextCodec.h"
#include "resources/Resources.h"

namespace lumora {

Tray::Tray(TrayIcon& icon, TopWindow& window, std::filesystem::path configPath)
    : icon_(icon), window_(window), configPath_(std::move(configPath)) {}

Tray::~Tray() {
  ForgetWindowAndMenu();
}

void Tray::TrayAdd(Menu& menu, const std::string& tipText) {
  menu_ = &menu;
  icon_.onLeftClick = [this] { OnLeftClick(); };
  icon_.onRightClick = [this] { OnRightClick(); };
  icon_.onShownChanged = [this] { OnShownChanged(); };
  icon_.ExportMenu(&menu);
  added_ = true;
  icon_.Add(Bitmap::FromPng(ResourceBytes("icon32.png")), CutToGbkBytes(tipText, kTipBytes));
}

void Tray::TrayShowBalloon(const std::string& text) {
  if (!TrayBalloonsOn(configPath_)) return;
  icon_.ShowBalloon(CutToGbkBytes(std::string(kProductName) + "提示:", kBalloonTitleBytes),
                    CutToGbkBytes(text, kBalloonTextBytes));
}

void Tray::TrayRemove() {
  if (!std::exchange(added_, false)) return;
  // The window is going for good: it is not brought back when the icon goes.
  ForgetWindowAndMenu();
  icon_.Remove();
}

// The icon outlives this object, the window and the menu.
void Tray::ForgetWindowAndMenu() {
  icon_.onLeftClick = nullptr;
  icon_.onRightClick = nullptr;
  icon_.onShownChanged = nullptr;
  icon_.ExportMenu(nullptr);
}

// A minimised window comes back; otherwise a click toggles between shown and hidden.
void Tray::OnLeftClick() {
  TopWindow& window = window_;
  if (window.State() == WindowState::Minimized) return window.SetState(WindowState::Normal);
  if (window.IsShown()) {
    window.Hide();
  } else {
    window.Show();
  }
}

// A window hidden to the tray comes back minimised once no tray host shows the icon, so the
// user can still reach it.
void Tray::OnShownChanged() {
  TopWindow& window = window_;
  if (icon_.IsShown() || window.IsShown()) return;
  window.SetState(WindowState::Minimized);
  window.Show();
}

void Tray::OnRightClick() {
  if (menu_) menu_->PopupAtPointer(window_);
}

}  // namespace lumora
