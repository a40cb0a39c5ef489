#pragma once

#include <functional>
#include <map>

#include "platform/Clock.h"
#include "platform/EventLoop.h"

namespace lumora::headless {

// A clock and a main loop on virtual time: time moves only when a test advances it or when a
// wait has nothing to do before its limit. The virtual time zone is UTC.
class VirtualTime : public Clock, public EventLoop {
 public:
  explicit VirtualTime(WallTime start) : now_(start) {}

  WallTime Now() const override { return now_; }
  LocalDateTime LocalNow() const override;

  // Runs every task due by now, then waits: moves time to the next task or to the limit.
  void ProcessEvents(std::chrono::milliseconds maxWait) override;

  // Queues work to run on the loop after delay (zero: at the next ProcessEvents).
  void Post(std::chrono::milliseconds delay, std::function<void()> task);
  // Moves time forward, running the tasks that fall due on the way, in order.
  void Advance(std::chrono::milliseconds span);

 private:
  bool RunOneDueTask();

  WallTime now_;
  std::multimap<WallTime, std::function<void()>> tasks_;
};

}  // namespace lumora::headless
