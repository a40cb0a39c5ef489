#pragma once

#include "platform/Controls.h"
#include "platform/Window.h"
#include "platform/headless/Events.h"

namespace lumora::headless {

// Mouse input as the GTK backend raises it, for tests that drive controls and window surfaces the
// way a user does rather than calling their handlers.

// A press and release over a control: down and up, then a click for the left button only.
inline void PressAndRelease(Control& control, MouseButton button, Point at = {1, 1}) {
  bool left = button == MouseButton::Left;
  Raise(control.onMouseDown, MouseEvent{button, left, at.x, at.y});
  Raise(control.onMouseUp, MouseEvent{button, false, at.x, at.y});
  if (left) Raise(control.onClick);
}

// A double click on a window's own surface: two presses and releases, with the double-click
// raised on the second press for the left button only.
inline void DoubleClick(TopWindow& window, MouseButton button, Point at) {
  bool left = button == MouseButton::Left;
  for (int press = 1; press <= 2; ++press) {
    Raise(window.onMouseDown, MouseEvent{button, left, at.x, at.y});
    if (press == 2 && left) Raise(window.onDoubleClick);
    Raise(window.onMouseUp, MouseEvent{button, false, at.x, at.y});
  }
}

}  // namespace lumora::headless
