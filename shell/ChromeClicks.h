#pragma once

#include <functional>

#include "platform/Controls.h"
#include "platform/Window.h"

namespace lumora {

// The clicks on the window's painted elements and on its own surface. A press of another button
// than the left one swallows the click or double click that follows it, so only the left button
// commands; every command first undoes the hover looks.
class ChromeClicks {
 public:
  explicit ChromeClicks(TopWindow& window) : window_(window) {}

  // The element runs command on its click and shows the arrow pointer while pointed at.
  void Wire(Control& element, std::function<void()> command);
  void Press(const MouseEvent& event);
  // No click or double click follows the release of another button than the left one, so the
  // guard its press set ends here: it must not swallow a later command.
  void Release(const MouseEvent& event);
  // True, once, for the click or double click that a press of another button swallows.
  bool TakeSwallowed();

  // Undoes every hover look; raised before each command.
  std::function<void()> onBeforeCommand;

 private:
  TopWindow& window_;
  bool swallowNext_ = false;  // SuppressDoubleClick
};

}  // namespace lumora
