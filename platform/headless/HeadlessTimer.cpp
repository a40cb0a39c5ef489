#include "platform/headless/HeadlessTimer.h"

#include "platform/Raise.h"

namespace lumora::headless {

void HeadlessTimer::SetInterval(std::chrono::milliseconds interval) {
  interval_ = interval;
  StartPeriod();
}

void HeadlessTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  StartPeriod();
}

void HeadlessTimer::StartPeriod() {
  CancelTick();
  if (!enabled_ || interval_ <= std::chrono::milliseconds(0)) return;
  nextTick_ = loop_.Post(interval_, [this] { Tick(); });
}

void HeadlessTimer::CancelTick() {
  if (nextTick_) loop_.Cancel(*nextTick_);
  nextTick_.reset();
}

void HeadlessTimer::Tick() {
  nextTick_.reset();
  StartPeriod();
  // The handler may disable or destroy this timer: nothing of it is touched afterwards.
  Raise(onTick);
}

}  // namespace lumora::headless
