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

}  // namespace

void BA1::Load() {
  Rect workArea = platform_.GetDesktop().WorkArea();
  InstallMinMaxHook({0, 0}, workArea.Extent());
  SkinApplied = 0;
  std::string userId = IniRead(ConfigPath(), "user", "Name", "0");
  bool savedSize = ReadSetting("s_size") == 2;
  Size twips = savedSize ? Size{ReadSetting("h_w"), ReadSetting("h_h")} : kDefaultTwips;
  Size screen = platform_.GetDesktop().ScreenSize();
  Size size{TwipsToPixels(twips.width), TwipsToPixels(twips.height)};
  window_->SetBounds({(screen.width - size.width) / 2, (screen.height - size.height) / 2,
                      size.width, size.height});
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
