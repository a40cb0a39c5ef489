#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "auxwin/Tray.h"
#include "auxwin/tankou.h"
#include "auxwin/tip.h"
#include "content/LinkRouter.h"
#include "core/ContentServer.h"
#include "core/ServerFetch.h"
#include "platform/Platform.h"
#include "shell/BA1.h"

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
  tankou* PopupAd() { return popupAd_.get(); }

  // Refers to the popup ad window and keeps it hidden: loaded on first use, or again after it
  // unloaded itself, its load starts its own schedule of popups.
  void ShowPopupAd();

 private:
  // The quit routine: unloads the other forms, then the main window.
  void Quit();

  Platform& platform_;
  ContentServer server_;
  std::filesystem::path appDir_;
  ServerFetch fetch_;
  std::unique_ptr<BA1> mainWindow_;
  std::unique_ptr<tip> menus_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<LinkRouter> router_;
  std::unique_ptr<tankou> popupAd_;
};

}  // namespace lumora
