#pragma once

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Http.h"
#include "platform/NetworkAdapters.h"

namespace lumora {

// Everything the program asks of the system it runs on. One real backend (platform/gtk) and one
// in-memory backend with virtual time (platform/headless) implement it.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual Clock& GetClock() = 0;
  virtual EventLoop& GetEventLoop() = 0;
  virtual HttpClient& GetHttpClient() = 0;
  virtual NetworkAdapterSource& GetNetworkAdapters() = 0;
};

}  // namespace lumora
