#include "auxwin/ba4.h"

#include <chrono>

#include "core/WebAddress.h"
#include "resources/Resources.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

constexpr const char* kCaption = "推荐";
constexpr auto kLifetime = std::chrono::milliseconds(20000);
constexpr auto kCloseDelay = std::chrono::milliseconds(1000);
constexpr const char* kClosePicture = "exitclose.png";
constexpr Size kCloseSize{51, 21};
// The close picture's distance from the right edge, and from the top.
constexpr int kCloseRight = 55;
constexpr int kCloseTop = 5;

}  // namespace

ba4::ba4(Platform& platform, ContentServer server)
    : platform_(platform),
      server_(std::move(server)),
      window_(platform.CreateWindow()),
      lifetimeTimer_(platform.CreateTimer()),
      closeRevealTimer_(platform.CreateTimer()) {
  CreateParts();
  WireEvents();
}

void ba4::CreateParts() {
  window_->SetTitle(kCaption);
  window_->SetIcon(Bitmap::FromPng(ResourceBytes("icon.png")));
  panel_ = &window_->AddPicture();
  pageView_ = &panel_->AddWebView();
  closePicture_ = &panel_->AddPicture();
  Bitmap close = Bitmap::FromPng(ResourceBytes(kClosePicture));
  closePicture_->SetGeometry({0, 0, kCloseSize.width, kCloseSize.height});
  closePicture_->Surface().Blit({0, 0}, close, {0, 0, kCloseSize.width, kCloseSize.height});
  closePicture_->SetPointer(PointerShape::Hand);
  closePicture_->SetAccessible({AccessibleRole::PushButton, "关闭"});
  closePicture_->SetVisible(false);
  window_->SetFocusRingColor(kFocusRing);
  Size screen = platform_.GetDesktop().ScreenSize();
  window_->SetBounds({(screen.width - kSize.width) / 2, (screen.height - kSize.height) / 2,
                      kSize.width, kSize.height});
  lifetimeTimer_->SetInterval(kLifetime);
  closeRevealTimer_->SetInterval(kCloseDelay);
}

void ba4::WireEvents() {
  window_->onResize = [this] { OnResize(); };
  window_->onCloseRequest = [this] { EndProgram(); };
  // Escape, as the close picture.
  window_->onKeyDown = [this](const KeyEvent& key) {
    if (key.key != Key::Escape) return false;
    EndProgram();
    return true;
  };
  closePicture_->onClick = [this] { EndProgram(); };
  pageView_->onDownloadBegin = [this] { pageView_->SetSilent(true); };
  // The new window opens in the user's browser, and the program has done its part.
  pageView_->onNewWindow2 = [this](const std::string& address) {
    OpenWebAddress(platform_.GetDesktop(), address);
    EndProgram();
  };
  lifetimeTimer_->onTick = [this] { OnLifetimeOver(); };
  closeRevealTimer_->onTick = [this] { RevealClosePicture(); };
}

void ba4::Show() {
  if (!loaded_) {
    loaded_ = true;
    pageView_->Navigate(server_.ExitAdPage());
    lifetimeTimer_->SetEnabled(true);
    closeRevealTimer_->SetEnabled(true);
  }
  window_->Present();
  OnResize();
}

void ba4::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  lifetimeTimer_->SetEnabled(false);
  closeRevealTimer_->SetEnabled(false);
  closePicture_->SetVisible(false);
  window_->Hide();
  pageView_->Navigate("about:blank");
}

void ba4::OnResize() {
  if (window_->State() == WindowState::Minimized) return;
  Size client = window_->ClientSize();
  panel_->SetGeometry({0, 0, client.width, client.height});
  PlaceViewInFrame(*pageView_, client);
  closePicture_->Move({client.width - kCloseRight, kCloseTop});
}

void ba4::OnLifetimeOver() {
  lifetimeTimer_->SetEnabled(false);
  EndProgram();
}

void ba4::RevealClosePicture() {
  closeRevealTimer_->SetEnabled(false);
  closePicture_->SetVisible(true);
}

void ba4::EndProgram() {
  if (onEnd) onEnd();
  Unload();
}

}  // namespace lumora
