#pragma once

#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "platform/headless/FakeHttpClient.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessMenu.h"
#include "platform/headless/HeadlessSingleInstance.h"
#include "platform/headless/HeadlessTrayIcon.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/VirtualTime.h"

namespace lumora::headless {

// Network adapters a test hands in.
class FakeNetworkAdapters : public NetworkAdapterSource {
 public:
  std::vector<NetworkAdapter> List() const override { return adapters; }
  std::vector<NetworkAdapter> adapters;
};

// The in-memory backend: virtual time, scripted answers, nothing touches the real system.
// Windows, timers and menus it creates must not outlive it.
class HeadlessPlatform : public Platform {
 public:
  static constexpr WallTime kDefaultStart{std::chrono::seconds(1'700'000'000)};

  // Platforms given the same registry play processes of one machine for single-instance claims.
  explicit HeadlessPlatform(
      WallTime start = kDefaultStart,
      std::shared_ptr<InstanceRegistry> instances = std::make_shared<InstanceRegistry>());

  Clock& GetClock() override { return time_; }
  EventLoop& GetEventLoop() override { return time_; }
  HttpClient& GetHttpClient() override { return http_; }
  NetworkAdapterSource& GetNetworkAdapters() override { return adapters_; }
  lumora::Desktop& GetDesktop() override { return desktop_; }
  lumora::SingleInstance& GetSingleInstance() override { return singleInstance_; }
  TrayIcon& GetTrayIcon() override { return tray_; }
  std::unique_ptr<TopWindow> CreateWindow() override;
  std::unique_ptr<Timer> CreateTimer() override;
  std::unique_ptr<Menu> CreateMenu() override;
  // Runs the queued tasks in time order until QuitMainLoop, until no task is left, or until the
  // main loop's limit of an hour of virtual time has passed, so a test never hangs. A quit
  // requested before the call makes it return at once.
  void RunMainLoop() override;
  void QuitMainLoop() override { quitRequested_ = true; }

  VirtualTime& Time() { return time_; }
  FakeHttpClient& Http() { return http_; }
  FakeNetworkAdapters& Adapters() { return adapters_; }
  HeadlessDesktop& Desktop() { return desktop_; }
  HeadlessTrayIcon& Tray() { return tray_; }
  // The windows alive, in the order they were created.
  const WindowList& Windows() const { return windows_; }
  // Shortcuts to the system loop records of a window.
  std::optional<HitCode> LastSystemSize(TopWindow& window) const;
  int SystemMoveCount(TopWindow& window) const;

 private:
  VirtualTime time_;
  FakeHttpClient http_;
  FakeNetworkAdapters adapters_;
  HeadlessDesktop desktop_;
  HeadlessSingleInstance singleInstance_;
  HeadlessTrayIcon tray_;
  WindowList windows_;
  bool quitRequested_ = false;
};

}  // namespace lumora::headless
