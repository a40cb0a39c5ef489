#pragma once

#include <chrono>
#include <functional>

namespace lumora {

// Ticks on the main loop every interval while enabled.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(std::chrono::milliseconds interval) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  std::function<void()> onTick;
};

}  // namespace lumora
