#pragma once

#include <memory>

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/Http.h"
#include "platform/Menu.h"
#include "platform/NetworkAdapters.h"
#include "platform/SingleInstance.h"
#include "platform/Timer.h"
#include "platform/Tray.h"
#include "platform/Window.h"

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
  virtual Desktop& GetDesktop() = 0;
  virtual SingleInstance& GetSingleInstance() = 0;
  virtual TrayIcon& GetTrayIcon() = 0;

  // A new hidden top-level window; the web views of every window share one web process.
  virtual std::unique_ptr<TopWindow> CreateWindow() = 0;
  virtual std::unique_ptr<Timer> CreateTimer() = 0;
  virtual std::unique_ptr<Menu> CreateMenu() = 0;

  // Runs the main loop until QuitMainLoop.
  virtual void RunMainLoop() = 0;
  virtual void QuitMainLoop() = 0;
};

}  // namespace lumora
