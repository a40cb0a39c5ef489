#pragma once

#include <functional>
#include <memory>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

class BA3;

// The menu form: the portal's context menu and the program menu, each item one short command on
// the main window, its portal view, the settings dialog or the shell.
class tip {
 public:
  tip(Platform& platform, TopWindow& mainWindow, WebView& portal, ContentServer server,
      BA3& settings);

  Menu& PortalMenu() { return *portalMenu_; }
  Menu& ProgramMenu() { return *programMenu_; }

  // "升级检测": the main window's manual update check (shengji).
  std::function<void()> onUpdateCheck;
  // "退出软件": the program's quit routine (ttt_v).
  std::function<void()> onQuit;

 private:
  void BuildPortalMenu();
  void BuildProgramMenu();
  // Opens the settings dialog over the main window, on its about page when asked.
  void ShowSettingsDialog(bool aboutPage);

  Platform& platform_;
  TopWindow& mainWindow_;
  WebView& portal_;
  ContentServer server_;
  BA3& settings_;
  std::unique_ptr<Menu> portalMenu_;   // myMenu: the portal view's context menu
  std::unique_ptr<Menu> programMenu_;  // r_m: the menu of the tray icon and the menu button
};

}  // namespace lumora
