#include "platform/headless/VirtualTime.h"

#include <time.h>

namespace lumora::headless {

LocalDateTime VirtualTime::LocalNow() const {
  time_t seconds = std::chrono::system_clock::to_time_t(now_);
  struct tm utc;
  gmtime_r(&seconds, &utc);
  return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
}

bool VirtualTime::RunOneDueTask() {
  auto next = tasks_.begin();
  if (next == tasks_.end() || next->first > now_) return false;
  std::function<void()> task = std::move(next->second);
  tasks_.erase(next);
  task();
  return true;
}

void VirtualTime::ProcessEvents(std::chrono::milliseconds maxWait) {
  if (tasks_.empty() || tasks_.begin()->first > now_) {
    WallTime limit = now_ + maxWait;
    now_ = !tasks_.empty() && tasks_.begin()->first < limit ? tasks_.begin()->first : limit;
  }
  while (RunOneDueTask()) {
  }
}

void VirtualTime::Post(std::chrono::milliseconds delay, std::function<void()> task) {
  tasks_.emplace(now_ + delay, std::move(task));
}

void VirtualTime::Advance(std::chrono::milliseconds span) {
  WallTime end = now_ + span;
  while (!tasks_.empty() && tasks_.begin()->first <= end) {
    now_ = std::max(now_, tasks_.begin()->first);
    RunOneDueTask();
  }
  now_ = end;
}

}  // namespace lumora::headless
