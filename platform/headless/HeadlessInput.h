#pragma once

#include "platform/Controls.h"
#include "platform/Window.h"

namespace lumora::headless {

// Mouse input as the GTK backend raises it, for tests that drive controls and window surfaces the
// way a user does rather than calling their handlers. A handler that destroys the control or the
// window ends the series of events there.

// A press and release over a control: down and up, then a click for the left button only.
void PressAndRelease(Control& control, MouseButton button, Point at = {1, 1});

// A double click on a window's own surface: two presses and releases, with the double-click
// raised on the second press for the left button only.
void DoubleClick(TopWindow& window, MouseButton button, Point at);

// The pointer at a position of a window's client area, routed as the GTK backend routes it: to
// the topmost shown control there, looking into pictures, which clip their children, with the
// position in that control's pixels; to the window's own surface where no control is. Check
// boxes and buttons take a left click as their click and nothing else; web views keep the
// pointer for their page.
// The activate action of assistive technology (or Enter on the focused control): raises onClick
// of a control that has a role, as the GTK backend does; nothing for an anonymous one.
void Activate(Control& control);

// A key pressed while focus (none: the window itself) has the keyboard focus, as the GTK backend
// routes it: a web view whose page has a text field focused keeps it; otherwise it reaches the
// window's onKeyDown. True when it was used.
bool PressKey(TopWindow& window, const KeyEvent& key, Control* focus = nullptr);

void ClickAt(TopWindow& window, Point at, MouseButton button = MouseButton::Left);
void MoveAt(TopWindow& window, Point at, bool leftHeld = false);

}  // namespace lumora::headless
