#pragma once

#include <chrono>

namespace lumora {

// The one main loop every handler runs on.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Dispatches pending events; when none is pending, waits for the next one but no longer than
  // maxWait. Handlers of other events, including nested waits, may run inside this call.
  virtual void ProcessEvents(std::chrono::milliseconds maxWait) = 0;
};

}  // namespace lumora
