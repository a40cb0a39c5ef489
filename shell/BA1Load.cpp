#include <algorithm>
#include <chrono>
#include <utility>

#include "content/HistoryPage.h"
#include "core/Settings.h"
#include "shell/BA1.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

// How long the views behind the portal wait for the portal's document at most.
constexpr std::chrono::milliseconds kViewsBehindThePortalAtLatest{1500};

// The empty dark document of the item information view until an item is opened.
constexpr const char* kDarkDocument =
    "<html><head><style type=\"text/css\">*{margin:0;padding:0;}body{overflow:auto;"
    "background:#212121;width:100%;}</style></head><body></body></html>";

// Centred on the screen at the stored size, but never larger than the work area, smaller than the
// minimum or outside the work area: a damaged size must not put the window out of reach.
Rect StartBounds(Size twips, Size screen, Rect workArea) {
  auto fit = [](int pixels, int minimum, int most) {
    return std::max(std::min(pixels, most), std::min(minimum, most));
  };
  int width = fit(TwipsToPixels(twips.width), TwipsToPixels(kMinimumTwips.width), workArea.width);
  int height =
      fit(TwipsToPixels(twips.height), TwipsToPixels(kMinimumTwips.height), workArea.height);
  auto place = [](int centred, int size, int start, int extent) {
    return std::clamp(centred, start, start + extent - size);
  };
  return {place((screen.width - width) / 2, width, workArea.x, workArea.width),
          place((screen.height - height) / 2, height, workArea.y, workArea.height), width, height};
}

}  // namespace

void BA1::Load() {
  // The web engine's processes take a few hundred milliseconds to start: the player view's blank
  // page starts them now, so they start while the window is laid out and shown.
  PlayerView().Navigate("about:blank");
  Rect workArea = platform_.GetDesktop().WorkArea();
  frameSizing_.InstallMinMaxHook(workArea.Extent());
  std::string userId = IniRead(ConfigPath(), "user", "Name", "0");
  bool savedSize = ReadSetting("s_size") == 2;
  Size twips = savedSize ? Size{ReadSetting("h_w"), ReadSetting("h_h")} : kDefaultTwips;
  window_->SetBounds(StartBounds(twips, platform_.GetDesktop().ScreenSize(), workArea));
  LoadPictures();
  ApplySkin(0);
  // What the user looks at comes first: the window with its chrome and the portal's loading
  // cover. The start pages load once the window is on the screen.
  window_->onMapped = [this, userId] { StartWebViews(userId); };
  window_->Show();
}

std::array<WebView*, 9> BA1::WebViews() {
  return {&PortalView(),         &PlayerView(), &HistoryView(), &InformationView(), usagePingView_,
          &player_.BannerView(), shoppingView_, &ChannelView(), &TvPlayerView()};
}

// The portal first: the web process reads its document before the pages behind it, which start
// once it is in, or at the latest a moment later should the server be slow to send it.
void BA1::StartWebViews(const std::string& userId) {
  if (std::exchange(webViewsStarted_, true)) return;
  viewsBehindThePortalTimer_ = platform_.CreateTimer();
  viewsBehindThePortalTimer_->SetInterval(kViewsBehindThePortalAtLatest);
  viewsBehindThePortalTimer_->onTick = [this, userId] { StartViewsBehindThePortal(userId); };
  viewsBehindThePortalTimer_->SetEnabled(true);
  portal_.onDocumentArrived = [this, userId] { StartViewsBehindThePortal(userId); };
  portal_.Start();
}

void BA1::StartViewsBehindThePortal(const std::string& userId) {
  viewsBehindThePortalTimer_->SetEnabled(false);
  if (std::exchange(viewsBehindThePortalStarted_, true)) return;
  HistoryView().Navigate2((appDir_ / kHistoryPageFile).string());
  // A play's first step asks the server for its data: the proxy settings are ready by then.
  platform_.GetHttpClient().PrepareFor(server_.BaseUrl());
  InformationView().Navigate("about:blank");
  InformationView().WriteDocument(kDarkDocument);
  usagePingView_->Navigate(server_.UsagePing(userId));
  player_.BannerView().Navigate(server_.AdBanner());
  shoppingStart_.Start();
  tvPane_.Start();
}

void BA1::OnHandOver() {
  window_->Hide();
  window_->Present();
  if (window_->State() == WindowState::Minimized) window_->SetState(WindowState::Normal);
}

void BA1::ttt_v() {
  if (onQuit) return onQuit();
  Unload();
}

void BA1::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  statusStrip_.StopTicker();
  window_->Hide();
  if (onUnloaded) onUnloaded();
}

}  // namespace lumora
