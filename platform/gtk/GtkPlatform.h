#pragma once

#include "platform/Platform.h"
#include "platform/gtk/GlibEventLoop.h"
#include "platform/gtk/SoupHttpClient.h"
#include "platform/gtk/SystemClock.h"
#include "platform/gtk/SystemNetworkAdapters.h"

namespace lumora::gtk {

// The real backend.
class GtkPlatform : public Platform {
 public:
  Clock& GetClock() override { return clock_; }
  EventLoop& GetEventLoop() override { return loop_; }
  HttpClient& GetHttpClient() override { return http_; }
  NetworkAdapterSource& GetNetworkAdapters() override { return adapters_; }

 private:
  SystemClock clock_;
  GlibEventLoop loop_;
  SoupHttpClient http_;
  SystemNetworkAdapters adapters_;
};

}  // namespace lumora::gtk
