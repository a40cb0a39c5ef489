#pragma once

#include "content/HistoryStore.h"
#include "platform/Controls.h"

namespace lumora {

// PlayerState: none (0), the video player in the player view (1) or the TV player (3).
enum class PlayerState { None, Video, Tv };

// What the link router needs of the window that holds the views it serves. The main window
// implements it, so this folder never depends on the window itself.
class RouterWindow {
 public:
  virtual ~RouterWindow() = default;

  virtual WebView& PortalView() = 0;
  virtual WebView& PlayerView() = 0;
  virtual WebView& HistoryView() = 0;
  virtual WebView& InformationView() = 0;
  virtual WebView& TvPlayerView() = 0;
  virtual WebView& ChannelView() = 0;
  virtual HistoryStore& PlayList() = 0;

  // Brings the player page forward.
  virtual void ShowPlayerPage() = 0;
  // Brings the player page forward for a play: once the player view's new page has arrived, or
  // a moment after the first of these calls at the latest.
  virtual void ShowPlayerPageOnArrival() = 0;
  // Brings the item information view forward in the list side bar.
  virtual void ShowNowPlaying() = 0;
  // Switches between no player, the video player and the TV player.
  virtual void SetPlayerState(PlayerState state) = 0;
  // Shows the button that closes the TV player.
  virtual void ShowTvCloseButton() = 0;
};

}  // namespace lumora
