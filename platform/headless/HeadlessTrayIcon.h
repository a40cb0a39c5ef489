#pragma once

#include <string>

#include "platform/Tray.h"

namespace lumora::headless {

// What the notification area shows of the icon: its tip, the last balloon, whether it was added.
struct TrayRecord {
  std::string tip;
  std::string balloonTitle;
  std::string balloonText;
  bool added = false;
};

// A notification area in memory: it keeps what the icon shows. Tests raise the clicks
// themselves through onLeftClick and onRightClick. A tray host is there unless a test takes it
// away.
class HeadlessTrayIcon final : public TrayIcon {
 public:
  void Add(const Bitmap& icon, const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void Remove() override;
  void ExportMenu(Menu* menu) override { exported_ = menu; }
  bool IsShown() const override { return shown_.added && hostPresent_; }

  // A tray host starts or ends; the icon is shown while one runs.
  void SetHostPresent(bool present);

  // The icon as the notification area shows it; the balloon fields hold the last balloon.
  const TrayRecord& Shown() const { return shown_; }
  int BalloonCount() const { return balloons_; }
  Menu* ExportedMenu() const { return exported_; }

 private:
  // Runs `change` and raises onShownChanged when it changed IsShown.
  template <class Change>
  void Changing(Change change);

  TrayRecord shown_;
  bool hostPresent_ = true;
  int balloons_ = 0;
  Menu* exported_ = nullptr;
};

}  // namespace lumora::headless
