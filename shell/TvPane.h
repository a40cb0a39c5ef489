#pragma once

#include <functional>

#include "core/ContentServer.h"
#include "platform/Platform.h"

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
};

}  // namespace lumora
