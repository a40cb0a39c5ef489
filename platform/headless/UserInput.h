#pragma once

#include "platform/Window.h"

namespace lumora::headless {

// What a user does with the mouse, as the headless controls and windows report it: each helper
// raises the handlers that are set, in the order the system raises them, and stops when one of
// them destroyed the control or window.

// A left click in the middle of the control: onMouseDown, onMouseUp, onClick.
void Click(Control& control);
// A right button press and release in the middle of the control: onMouseDown, onMouseUp.
void PressRight(Control& control);
// The pointer moves to `at` (control pixels) with no button held: onMouseMove.
void MoveOver(Control& control, Point at);
// The pointer leaves the control: onMouseMove with a position outside it.
void MoveOff(Control& control);

void PressSurface(TopWindow& window, int x, int y, MouseButton button = MouseButton::Left);
void MoveOnSurface(TopWindow& window, int x, int y, bool leftHeld = false);
void ReleaseSurface(TopWindow& window, int x, int y, MouseButton button = MouseButton::Left);
// A left double click as the system reports it: press, release, onDoubleClick, release.
void DoubleClickSurface(TopWindow& window, int x, int y);
// The window manager asks the window to close: onCloseRequest.
void RequestClose(TopWindow& window);

}  // namespace lumora::headless
