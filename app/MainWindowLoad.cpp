#include <algorithm>

#include "app/Startup.h"
#include "content/HistoryPage.h"
#include "core/Settings.h"
#include "shell/BA1.h"
#include "shell/Theme.h"

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
  InstallMinMaxHook({0, 0}, workArea.Extent());
  SkinApplied = 0;
  std::string userId = IniRead(ConfigPath(), "user", "Name", "0");
  bool savedSize = ReadSetting("s_size") == 2;
  Size twips = savedSize ? Size{ReadSetting("h_w"), ReadSetting("h_h")} : kDefaultTwips;
  window_->SetBounds(StartBounds(twips, platform_.GetDesktop().ScreenSize(), workArea));
  CurrentPageTab = kPortalTab;
  CurrentListTab = kHistoryTab;
  LoadPictures();
  p_p(0);
  StartWebViews(userId);
  SuppressDoubleClick = 0;
  window_->Show();
}

void BA1::StartWebViews(const std::string& userId) {
  Web1->Navigate(server_.Portal());
  Web2->Navigate("about:blank");
  Web3->Navigate2((appDir_ / kHistoryPageFile).string());
  Web5->Navigate("about:blank");
  Web5->WriteDocument(kDarkDocument);
  Web6->Navigate(server_.UsagePing(userId));
  Web8->Navigate(server_.AdBanner());
  Web9->Navigate(server_.ShoppingPage());
  Web11->Navigate(server_.TvChannelList());
  Web10->Navigate(server_.TvStartPage());
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
  window_->Hide();
  if (onUnloaded) onUnloaded();
}

void BA1::OnPortalLoaded() {
  if (HomeLoadFailed != 1 && !Pic1->Visible()) {
    Pic1->SetVisible(true);
    wait->SetVisible(false);
  }
}

void BA1::OnPortalError(const std::string& address) {
  if (address.find(server_.BaseUrl()) == std::string::npos) return;
  Pic1->SetVisible(false);
  jia->SetImage(w3);
  wait->SetVisible(true);
  HomeLoadFailed = 1;
}

void BA1::jia_Click() {
  HomeLoadFailed = 0;
  Web1->Navigate(server_.Portal());
}

}  // namespace lumora
