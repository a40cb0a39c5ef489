#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/WriteFailureNotice.h"
#include "auxwin/BA3.h"
#include "auxwin/Tray.h"
#include "auxwin/ba4.h"
#include "auxwin/tankou.h"
#include "auxwin/tip.h"
#include "content/LinkRouter.h"
#include "core/ContentServer.h"
#include "core/ServerFetch.h"
#include "platform/Platform.h"
#include "shell/BA1.h"
#include "shell/UpdateCheck.h"

namespace lumora {

// The single-instance channel's id, made from the product name and the main window's name.
inline constexpr const char* kInstanceId = "Lumora.BA1";

// One run of the program: start-up files, the single-instance hand-over, the main window.
class LumoraApp {
 public:
  LumoraApp(Platform& platform, ContentServer server, std::filesystem::path appDir);

  // Prepares the local files and, unless another instance runs (which then gets the command
  // line), opens the main window. False when this process should end at once.
  bool Start(const std::vector<std::string>& commandLine);

  BA1* MainWindow() { return mainWindow_.get(); }
  Tray* TrayIcon() { return tray_.get(); }
  tip* Menus() { return menus_.get(); }
  BA3* SettingsDialog() { return settings_.get(); }
  // The exit ad window, once the quit routine loaded it.
  ba4* ExitAd() { return exitAd_.get(); }
  tankou* PopupAd() { return popupAd_.get(); }

  // Refers to the popup ad window and keeps it hidden: loaded on first use, or again after it
  // unloaded itself, its load starts its own schedule of popups.
  void ShowPopupAd();

 private:
  // The quit routine: unloads the other forms, then shows the exit ad window in the main
  // window's stead when the server asked for it, or unloads the main window.
  void Quit();
  // A later start of the program: takes the exit ad window down and brings the main window back.
  void OnHandOver();

  Platform& platform_;
  ContentServer server_;
  std::filesystem::path appDir_;
  ServerFetch fetch_;
  std::unique_ptr<BA1> mainWindow_;
  std::unique_ptr<BA3> settings_;
  std::unique_ptr<tip> menus_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<LinkRouter> router_;
  std::unique_ptr<WriteFailureNotice> writeFailureNotice_;
  std::unique_ptr<UpdateCheck> updateCheck_;
  std::unique_ptr<ba4> exitAd_;
  std::unique_ptr<tankou> popupAd_;
};

}  // namespace lumora
