#pragma once

#include "platform/Tray.h"

namespace lumora::headless {

// A notification area in memory: it keeps what the icon shows. Tests raise the clicks
// themselves through onLeftClick and onRightClick.
class HeadlessTrayIcon final : public TrayIcon {
 public:
  void Add(const Bitmap& icon, const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void Remove() override { shown_.added = false; }
  void ExportMenu(Menu* menu) override { exported_ = menu; }

  // The icon as the notification area shows it; the balloon fields hold the last balloon.
  const TrayRecord& Shown() const { return shown_; }
  int BalloonCount() const { return balloons_; }
  Menu* ExportedMenu() const { return exported_; }

 private:
  TrayRecord shown_;
  int balloons_ = 0;
  Menu* exported_ = nullptr;
};

}  // namespace lumora::headless
