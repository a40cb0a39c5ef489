#pragma once

#include <functional>

#include "platform/Platform.h"

namespace lumora {

// The left area of the player page: the video player view (Web2) with its close button, and
// while no video plays the ad panel with its banner view (Web8), which the server switches on.
class PlayerPane {
 public:
  PlayerPane(Platform& platform, TopWindow& window, Picture& area);

  WebView& PlayerView() { return *playerView_; }
  WebView& BannerView() { return *bannerView_; }
  void LoadPictures();
  void Layout(Size area);
  void LayoutCompact(Size area);

  // The player view in the ad panel's place.
  void ShowPlayer();
  void HidePlayer();
  // Back to the ad panel, with the player view emptied.
  void ClosePlayer();
  void SetCloseButtonVisible(bool visible);
  // The server asked for the ad panel's banner; a banner that failed to load stays hidden.
  void ShowBanner();

  // The user clicked the player's close button.
  std::function<void()> onCloseClicked;

 private:
  void CreatePlayer(Picture& area);
  void CreateAdPanel(Picture& area);

  Platform& platform_;
  Picture* playerFrame_ = nullptr;  // Pic2
  WebView* playerView_ = nullptr;   // Web2
  Picture* closeButton_ = nullptr;  // ggx
  Picture* adPanel_ = nullptr;      // m_ad
  Picture* adPicture_ = nullptr;    // adp
  Picture* bannerFrame_ = nullptr;  // bo_pad
  WebView* bannerView_ = nullptr;   // Web8
  // AdPanelState 1: the banner's view failed, and the banner is not shown again.
  bool bannerFailed_ = false;
};

}  // namespace lumora
