#pragma once

#include <filesystem>
#include <string>

#include "platform/Platform.h"

namespace lumora {

// The main window's icon in the notification area: the way back to a hidden window, the program
// menu on a right click, and balloons with problems to report.
class Tray {
 public:
  // Field widths of the texts, in GBK bytes without the closing NUL.
  static constexpr size_t kTipBytes = 127;
  static constexpr size_t kBalloonTextBytes = 255;
  static constexpr size_t kBalloonTitleBytes = 63;

  // The icon shows and restores the main window; balloons follow the settings file's choice.
  Tray(TrayIcon& icon, TopWindow& window, std::filesystem::path configPath);
  ~Tray();
  Tray(const Tray&) = delete;
  Tray& operator=(const Tray&) = delete;

  void TrayAdd(Menu& menu, const std::string& tipText);
  void TrayShowBalloon(const std::string& text);
  void TrayRemove();

 private:
  void OnLeftClick();
  void OnRightClick();
  void OnShownChanged();
  void ForgetWindowAndMenu();

  TrayIcon& icon_;
  TopWindow& window_;
  std::filesystem::path configPath_;
  Menu* menu_ = nullptr;
  bool added_ = false;
};

}  // namespace lumora
