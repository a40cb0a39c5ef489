#pragma once

#include <functional>
#include <memory>

#include "platform/Controls.h"
#include "platform/Platform.h"

namespace lumora {

// Brings the player page forward for a play once the player view's new page has arrived, or after
// a short wait at the latest. Shown before the page arrives, the player view would first lay out
// and paint the page it is leaving, which holds up the new page's loading by tens of
// milliseconds; the wait keeps a slow server from leaving the click without an answer.
class PlayerPageReveal {
 public:
  // show brings the page forward.
  PlayerPageReveal(Platform& platform, WebView& playerView, std::function<void()> show);

  // Starts waiting for the player's new page, unless a wait is on already: its limit still counts
  // from the first call.
  void RevealSoon();
  // Stops waiting: another page was brought forward meanwhile, which the reveal must not undo.
  void Cancel();

 private:
  void Reveal();

  std::unique_ptr<Timer> longestWait_;
  std::function<void()> show_;
};

}  // namespace lumora
