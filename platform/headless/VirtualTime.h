#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/Clock.h"
#include "platform/EventLoop.h"

namespace lumora::headless {

// A clock and a main loop on virtual time: time moves only when a test advances it or when a
// wait has nothing to do before its limit. The virtual time zone is UTC.
class VirtualTime : public Clock, public EventLoop {
 public:
  // Names one queued task; tasks due at the same time run in the order they were posted.
  struct TaskId {
    WallTime due;
    std::uint64_t sequence = 0;
    auto operator<=>(const TaskId&) const = default;
  };

  explicit VirtualTime(WallTime start) : now_(start) {}

  WallTime Now() const override { return now_; }
  LocalDateTime LocalNow() const override;

  // Runs every task due by now, then waits: moves time to the next task or to the limit.
  void ProcessEvents(std::chrono::milliseconds maxWait) override;

  // Queues work to run on the loop after delay (zero: at the next ProcessEvents).
  TaskId Post(std::chrono::milliseconds delay, std::function<void()> task);
  // Drops a queued task; nothing happens when it already ran or was dropped.
  void Cancel(TaskId task);
  // Moves time forward, running the tasks that fall due on the way, in order.
  void Advance(std::chrono::milliseconds span);
  // Timers and tasks still to run: none once everything is idle.
  size_t PendingTasks() const { return tasks_.size(); }
  // Moves time to the next task and runs it, unless it is due after deadline; false then.
  bool RunNext(WallTime deadline);

 private:
  WallTime now_;
  std::uint64_t posted_ = 0;
  std::map<TaskId, std::function<void()>> tasks_;
};

}  // namespace lumora::headless
