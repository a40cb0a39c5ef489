#pragma once

#include <functional>

#include "core/ContentServer.h"
#include "platform/Platform.h"
#include "shell/StartPageReload.h"

namespace lumora {

// The TV page's player view (Web10) with its close button, and its channel list view (Web11) in
// the side bar.
class TvPane {
 public:
  TvPane(Platform& platform, Picture& playerArea, Picture& channelBar, ContentServer server);

  WebView& PlayerView() { return *playerView_; }
  WebView& ChannelView() { return *channelView_; }
  void LoadPictures();
  void Layout(Size playerArea, Size channelBar);
  void LayoutCompact(Size playerArea);
  void Start();
  // The TV page came into sight: start pages that failed are loaded again.
  void OnShown();
  void SetCloseButtonVisible(bool visible);
  // Back to the TV start page.
  void ClosePlayer();

  // The user clicked the TV player's close button.
  std::function<void()> onCloseClicked;

 private:
  Platform& platform_;
  ContentServer server_;
  WebView* playerView_ = nullptr;   // Web10
  Picture* closeButton_ = nullptr;  // gtv
  WebView* channelView_ = nullptr;  // Web11
  StartPageReload playerStart_;
  StartPageReload channelStart_;
};

}  // namespace lumora
