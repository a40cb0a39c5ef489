#pragma once

#include <functional>
#include <string>

#include "platform/Geometry.h"

namespace lumora {

class TopWindow;

// A popup menu: items that each run a command, and separator lines, in the order added. A
// popup returns at once; the chosen item's command runs later on the main loop, after the menu
// has closed.
class Menu {
 public:
  virtual ~Menu() = default;
  virtual void AddItem(const std::string& caption, std::function<void()> command) = 0;
  virtual void AddSeparator() = 0;
  // Opens the menu with its top-left corner at a position in the owner's pixels.
  virtual void PopupAt(TopWindow& owner, Point windowPosition) = 0;
  // Opens the menu at the pointer, also when the owner is hidden.
  virtual void PopupAtPointer(TopWindow& owner) = 0;
};

}  // namespace lumora
