#include <algorithm>
#include <utility>

#include "content/HistoryPage.h"
#include "core/Settings.h"
#include "shell/BA1.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

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
  Rect workArea = platform_.GetDesktop().WorkArea();
  frameSizing_.InstallMinMaxHook(workArea.Extent());
  std::string userId = IniRead(ConfigPath(), "user", "Name", "0");
  bool savedSize = ReadSetting("s_size") == 2;
  Size twips = savedSize ? Size{ReadSetting("h_w"), ReadSetting("h_h")} : kDefaultTwips;
  window_->SetBounds(StartBounds(twips, platform_.GetDesktop().ScreenSize(), workArea));
  LoadPictures();
  ApplySkin(0);
  // What the user looks at comes first: the window with its chrome and the portal's loading
  // cover. The web engine starts once the window is on the screen.
  window_->onMapped = [this, userId] { StartWebViews(userId); };
  window_->Show();
}

std::array<WebView*, 9> BA1::WebViews() {
  return {&PortalView(),         &PlayerView(), &HistoryView(), &InformationView(), usagePingView_,
          &player_.BannerView(), shoppingView_, &ChannelView(), &TvPlayerView()};
}

// The portal first, so its request goes out first, then the views behind it.
void BA1::StartWebViews(const std::string& userId) {
  if (std::exchange(webViewsStarted_, true)) return;
  portal_.Start();
  PlayerView().Navigate("about:blank");
  HistoryView().Navigate2((appDir_ / kHistoryPageFile).string());
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
