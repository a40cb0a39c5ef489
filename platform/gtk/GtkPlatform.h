#pragma once

#include <glib.h>

#include <filesystem>

#include "platform/Platform.h"
#include "platform/gtk/GlibEventLoop.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkSingleInstance.h"
#include "platform/gtk/GtkTrayIcon.h"
#include "platform/gtk/SoupHttpClient.h"
#include "platform/gtk/SystemClock.h"
#include "platform/gtk/SystemNetworkAdapters.h"

namespace lumora::gtk {

// The real backend. It needs no display until the first window or screen query: GTK is
// initialised then.
class GtkPlatform : public Platform {
 public:
  GtkPlatform();
  GtkPlatform(const GtkPlatform&) = delete;
  GtkPlatform& operator=(const GtkPlatform&) = delete;

  Clock& GetClock() override { return clock_; }
  EventLoop& GetEventLoop() override { return loop_; }
  HttpClient& GetHttpClient() override { return http_; }
  NetworkAdapterSource& GetNetworkAdapters() override { return adapters_; }
  Desktop& GetDesktop() override { return desktop_; }
  SingleInstance& GetSingleInstance() override { return singleInstance_; }
  TrayIcon& GetTrayIcon() override { return tray_; }

  // Where the web views keep what they store for sites and their caches: two absolute folders,
  // or none, when they write nothing. Given before the first window is created.
  void UseWebDataFolders(std::filesystem::path data, std::filesystem::path cache);

  // Windows and menus throw std::runtime_error when no display can be opened.
  std::unique_ptr<TopWindow> CreateWindow() override;
  std::unique_ptr<Menu> CreateMenu() override;
  std::unique_ptr<Timer> CreateTimer() override;

  // A quit asked for before the loop runs makes it return at once.
  void RunMainLoop() override;
  void QuitMainLoop() override;

 private:
  SystemClock clock_;
  GlibEventLoop loop_;
  SoupHttpClient http_;
  SystemNetworkAdapters adapters_;
  GtkDesktop desktop_;
  GtkSingleInstance singleInstance_;
  GtkTrayIcon tray_;
  GMainLoop* mainLoop_ = nullptr;
  bool quitAsked_ = false;
};

}  // namespace lumora::gtk
