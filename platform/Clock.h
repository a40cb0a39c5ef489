#pragma once

#include <chrono>

namespace lumora {

// A local calendar date and time, as the user's clock shows it.
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;   // 0 to 23
  int minute = 0;
  int second = 0;
};

using WallTime = std::chrono::system_clock::time_point;

// The wall clock. Every reading of the time goes through here so tests can run on virtual time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual WallTime Now() const = 0;
  virtual LocalDateTime LocalNow() const = 0;
};

}  // namespace lumora
