#include "core/WebAddress.h"
#include "shell/BA1.h"

namespace lumora {

// Every view runs silent and never shows the engine's own menu; the portal shows the program's
// menu instead. A page's new window opens in the user's browser, for web addresses only.
void BA1::WireViewEvents() {
  for (WebView* view : {Web1, Web2, Web3, Web5, Web6, Web8, Web9, Web10, Web11}) {
    view->onDownloadBegin = [view] { view->SetSilent(true); };
    view->onContextMenu = [](Point) { return false; };
    view->onNewWindow2 = [this](const std::string& address) {
      OpenWebAddress(platform_.GetDesktop(), address);
    };
  }
  Web1->onContextMenu = [this](Point) {
    if (onPortalMenuRequested) onPortalMenuRequested();
    return false;
  };
}

void BA1::SetPlayerState(int mode) {
  if (mode != 1 && PlayerState == 1) ggx_Click();
  if (mode != 3 && PlayerState == 3) gtv_Click();
  PlayerState = mode;
  if (mode == 1) {
    m_ad->SetVisible(false);
    Pic2->SetVisible(true);
  } else {
    Pic2->SetVisible(false);
  }
}

void BA1::ggx_Click() {
  Pic2->SetVisible(false);
  m_ad->SetVisible(true);
  platform_.GetEventLoop().ProcessEvents(std::chrono::milliseconds(0));
  Web2->Navigate("about:blank");
  PlayerState = 0;
}

void BA1::ShowTvCloseButton() {
  gtv->SetVisible(true);
}

void BA1::gtv_Click() {
  gtv->SetVisible(false);
  PlayerState = 0;
  platform_.GetEventLoop().ProcessEvents(std::chrono::milliseconds(0));
  Web10->Navigate(server_.TvStartPage());
}

}  // namespace lumora
