#pragma once

#include <functional>
#include <memory>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

class BA1;
class BA3;

// The menu form: the portal's context menu and the program menu, each item one short command on
// the main window, its portal view or the shell.
class tip {
 public:
  tip(Platform& platform, BA1& window, ContentServer server, BA3& settings);

  Menu& myMenu() { return *myMenu_; }  // the portal view's context menu
  Menu& r_m() { return *r_m_; }        // the program menu of the tray icon and the menu button

  // "升级检测": the main window's manual update check, shengji.
  std::function<void()> onUpdateCheck;

 private:
  void BuildPortalMenu();
  void BuildProgramMenu();
  // Opens the settings dialog over the main window, on its about page when asked.
  void ShowSettingsDialog(bool aboutPage);

  Platform& platform_;
  BA1& window_;
  ContentServer server_;
  BA3& settings_;
  std::unique_ptr<Menu> myMenu_;
  std::unique_ptr<Menu> r_m_;
};

}  // namespace lumora
