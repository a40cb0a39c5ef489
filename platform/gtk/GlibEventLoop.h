#pragma once

#include "platform/EventLoop.h"

namespace lumora::gtk {

// The thread's default GLib main context.
class GlibEventLoop : public EventLoop {
 public:
  void ProcessEvents(std::chrono::milliseconds maxWait) override;
};

}  // namespace lumora::gtk
