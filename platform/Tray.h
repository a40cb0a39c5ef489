#pragma once

#include <functional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Menu.h"

namespace lumora {

// The process's one icon in the notification area. No error is reported when the desktop has no
// notification area or no balloon service: the icon or the balloon is then simply not seen, which
// IsShown tells for the icon.
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Shows the icon with its tip; on a shown icon, replaces both.
  virtual void Add(const Bitmap& icon, const std::string& tip) = 0;
  // A balloon with the information icon from the shown icon, replacing the one before; ignored
  // while the icon is not shown.
  virtual void ShowBalloon(const std::string& title, const std::string& text) = 0;
  virtual void Remove() = 0;
  // The menu to export for tray hosts that show only the menus icons export, rather than ask the
  // icon to open its own; null for none. The menu must outlive the icon's use of it.
  virtual void ExportMenu(Menu* menu) = 0;
  // Whether a notification area shows the icon now: false before Add, after Remove and while no
  // tray host has taken it, so that a window hidden to the tray could not be reached.
  virtual bool IsShown() const = 0;

  // IsShown changed: a tray host took the icon or let it go.
  std::function<void()> onShownChanged;
  // A click on the icon with the left button, or with the right one.
  std::function<void()> onLeftClick;
  std::function<void()> onRightClick;
};

}  // namespace lumora
