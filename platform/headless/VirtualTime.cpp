#include "platform/headless/VirtualTime.h"

#include <time.h>

namespace lumora::headless {

LocalDateTime VirtualTime::LocalNow() const {
  time_t seconds = std::chrono::system_clock::to_time_t(now_);
  struct tm utc;
  gmtime_r(&seconds, &utc);
  return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec};
}

bool VirtualTime::RunNext(WallTime deadline) {
  auto next = tasks_.begin();
  if (next == tasks_.end() || next->first.due > deadline) return false;
  now_ = std::max(now_, next->first.due);
  std::function<void()> task = std::move(next->second);
  tasks_.erase(next);
  task();
  return true;
}

void VirtualTime::ProcessEvents(std::chrono::milliseconds maxWait) {
  if (tasks_.empty() || tasks_.begin()->first.due > now_) {
    WallTime limit = now_ + maxWait;
    now_ = !tasks_.empty() && tasks_.begin()->first.due < limit ? tasks_.begin()->first.due : limit;
  }
  while (RunNext(now_)) {
  }
}

VirtualTime::TaskId VirtualTime::Post(std::chrono::milliseconds delay, std::function<void()> task) {
  TaskId id{now_ + delay, ++posted_};
  tasks_.emplace(id, std::move(task));
  return id;
}

void VirtualTime::Cancel(TaskId task) {
  tasks_.erase(task);
}

void VirtualTime::Advance(std::chrono::milliseconds span) {
  WallTime end = now_ + span;
  while (RunNext(end)) {
  }
  now_ = end;
}

}  // namespace lumora::headless
