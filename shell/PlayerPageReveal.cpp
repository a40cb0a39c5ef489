#include "shell/PlayerPageReveal.h"

#include <chrono>
#include <utility>

namespace lumora {
namespace {

// The longest wait, short enough for the user to see the answer to the click at once.
constexpr std::chrono::milliseconds kLongestWait{100};

}  // namespace

PlayerPageReveal::PlayerPageReveal(Platform& platform, WebView& playerView,
                                   std::function<void()> show)
    : longestWait_(platform.CreateTimer()), show_(std::move(show)) {
  longestWait_->SetInterval(kLongestWait);
  longestWait_->onTick = [this] { Reveal(); };
  playerView.onNavigateComplete2 = [this] {
    if (longestWait_->Enabled()) Reveal();
  };
}

void PlayerPageReveal::RevealSoon() {
  if (!longestWait_->Enabled()) longestWait_->SetEnabled(true);
}

void PlayerPageReveal::Cancel() {
  longestWait_->SetEnabled(false);
}

void PlayerPageReveal::Reveal() {
  longestWait_->SetEnabled(false);
  show_();
}

}  // namespace lumora
