#pragma once

#include <optional>

#include "platform/Timer.h"
#include "platform/headless/VirtualTime.h"

namespace lumora::headless {

// A timer on virtual time. Enabling it or setting its interval starts a new period; enabling an
// enabled timer changes nothing. An interval of zero never ticks. The loop must outlive it.
class HeadlessTimer final : public Timer {
 public:
  explicit HeadlessTimer(VirtualTime& loop) : loop_(loop) {}
  ~HeadlessTimer() override { CancelTick(); }
  HeadlessTimer(const HeadlessTimer&) = delete;
  HeadlessTimer& operator=(const HeadlessTimer&) = delete;

  void SetInterval(std::chrono::milliseconds interval) override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

 private:
  // Queues the next tick one interval from now, when the timer ticks at all.
  void StartPeriod();
  void CancelTick();
  void Tick();

  VirtualTime& loop_;
  std::chrono::milliseconds interval_{0};
  bool enabled_ = false;
  std::optional<VirtualTime::TaskId> nextTick_;
};

}  // namespace lumora::headless
