#include "platform/headless/UserInput.h"

#include "platform/headless/Events.h"

namespace lumora::headless {
namespace {

// Every headless control and window has a lifetime to watch.
template <class ControlOrWindow>
const Lifetime& LifetimeOf(const ControlOrWindow& target) {
  return dynamic_cast<const Lifetime&>(target);
}

MouseEvent AtMiddle(const Control& control, MouseButton button) {
  Rect geometry = control.Geometry();
  return {button, false, geometry.width / 2, geometry.height / 2};
}

}  // namespace

void Click(Control& control) {
  MouseEvent event = AtMiddle(control, MouseButton::Left);
  RunWhileAlive(LifetimeOf(control),
                {[&] { Raise(control.onMouseDown, event); },
                 [&] { Raise(control.onMouseUp, event); }, [&] { Raise(control.onClick); }});
}

void PressRight(Control& control) {
  MouseEvent event = AtMiddle(control, MouseButton::Right);
  RunWhileAlive(LifetimeOf(control), {[&] { Raise(control.onMouseDown, event); },
                                      [&] { Raise(control.onMouseUp, event); }});
}

void MoveOver(Control& control, Point at) {
  Raise(control.onMouseMove, MouseEvent{MouseButton::Left, false, at.x, at.y});
}

void MoveOff(Control& control) {
  MoveOver(control, {-1, -1});
}

void PressSurface(TopWindow& window, int x, int y, MouseButton button) {
  Raise(window.onMouseDown, MouseEvent{button, false, x, y});
}

void MoveOnSurface(TopWindow& window, int x, int y, bool leftHeld) {
  Raise(window.onMouseMove, MouseEvent{MouseButton::Left, leftHeld, x, y});
}

void ReleaseSurface(TopWindow& window, int x, int y, MouseButton button) {
  Raise(window.onMouseUp, MouseEvent{button, false, x, y});
}

void DoubleClickSurface(TopWindow& window, int x, int y) {
  RunWhileAlive(LifetimeOf(window),
                {[&] { PressSurface(window, x, y); }, [&] { ReleaseSurface(window, x, y); },
                 [&] { Raise(window.onDoubleClick); }, [&] { ReleaseSurface(window, x, y); }});
}

void RequestClose(TopWindow& window) {
  Raise(window.onCloseRequest);
}

}  // namespace lumora::headless
