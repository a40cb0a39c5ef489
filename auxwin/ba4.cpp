#include "auxwin/ba4.h"

#include <chrono>

#include "core/WebAddress.h"
#include "resources/Resources.h"
#include "shell/BA1.h"

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
// The view reaches this far past the panel on every side, so its own border is clipped.
constexpr int kViewBorder = 2;

}  // namespace

ba4::ba4(Platform& platform, BA1& mainWindow, ContentServer server)
    : platform_(platform),
      mainWindow_(mainWindow),
      server_(std::move(server)),
      window_(platform.CreateWindow()),
      Timer1(platform.CreateTimer()),
      Timer2(platform.CreateTimer()) {
  window_->SetTitle(kCaption);
  window_->SetIcon(Bitmap::FromPng(ResourceBytes("icon.png")));
  Pc1 = &window_->AddPicture();
  Web1 = &Pc1->AddWebView();
  Picture1 = &Pc1->AddPicture();
  Bitmap close = Bitmap::FromPng(ResourceBytes(kClosePicture));
  Picture1->SetGeometry({0, 0, kCloseSize.width, kCloseSize.height});
  Picture1->Surface().Blit({0, 0}, close, {0, 0, kCloseSize.width, kCloseSize.height});
  Picture1->SetPointer(PointerShape::Hand);
  Picture1->SetVisible(false);

  Size screen = platform.GetDesktop().ScreenSize();
  window_->SetBounds({(screen.width - kSize.width) / 2, (screen.height - kSize.height) / 2,
                      kSize.width, kSize.height});
  window_->onResize = [this] { Form_Resize(); };
  window_->onCloseRequest = [this] { EndProgram(); };
  Picture1->onClick = [this] { EndProgram(); };
  Web1->onDownloadBegin = [this] { Web1->SetSilent(true); };
  // The new window opens in the user's browser, and the program has done its part.
  Web1->onNewWindow2 = [this](const std::string& address) {
    OpenWebAddress(platform_.GetDesktop(), address);
    EndProgram();
  };
  Timer1->SetInterval(kLifetime);
  Timer1->onTick = [this] { Timer1_Timer(); };
  Timer2->SetInterval(kCloseDelay);
  Timer2->onTick = [this] { Timer2_Timer(); };
}

void ba4::Show() {
  if (!loaded_) {
    loaded_ = true;
    Web1->Navigate(server_.ExitAdPage());
    Timer1->SetEnabled(true);
    Timer2->SetEnabled(true);
  }
  window_->Present();
  Form_Resize();
}

void ba4::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  Timer1->SetEnabled(false);
  Timer2->SetEnabled(false);
  Picture1->SetVisible(false);
  window_->Hide();
  Web1->Navigate("about:blank");
}

void ba4::Form_Resize() {
  if (window_->State() == WindowState::Minimized) return;
  Size client = window_->ClientSize();
  Pc1->SetGeometry({0, 0, client.width, client.height});
  Web1->SetGeometry({-kViewBorder, -kViewBorder, client.width + 2 * kViewBorder,
                     client.height + 2 * kViewBorder});
  Picture1->Move({client.width - kCloseRight, kCloseTop});
}

void ba4::Timer1_Timer() {
  Timer1->SetEnabled(false);
  EndProgram();
}

void ba4::Timer2_Timer() {
  Timer2->SetEnabled(false);
  Picture1->SetVisible(true);
}

void ba4::EndProgram() {
  mainWindow_.Unload();
  Unload();
}

}  // namespace lumora
