#include "platform/headless/HeadlessInput.h"

#include <memory>
#include <vector>

#include "platform/Raise.h"
#include "platform/headless/HeadlessControls.h"
#include "platform/headless/HeadlessWebView.h"
#include "platform/headless/HeadlessWindow.h"

namespace lumora::headless {
namespace {

MouseEvent EventAt(MouseButton button, bool leftHeld, Point at) {
  return {button, leftHeld, at.x, at.y};
}

// Down, then up unless the down's handler destroyed the target; true when the target lives on.
template <class Target>
bool DownAndUp(Target& target, MouseButton button, Point at) {
  std::weak_ptr<const void> alive = dynamic_cast<const Lifetime&>(target).Watch();
  Raise(target.onMouseDown, EventAt(button, button == MouseButton::Left, at));
  if (alive.expired()) return false;
  Raise(target.onMouseUp, EventAt(button, false, at));
  return !alive.expired();
}

// What takes the pointer's events at a position: a control, or the window's own surface when
// control is null; `at` is the position in its pixels.
struct PointerTarget {
  Control* control = nullptr;
  Point at;
};

bool Covers(const Control& control, Point at) {
  Rect area = control.Geometry();
  return control.Visible() && at.x >= area.x && at.y >= area.y && at.x < area.x + area.width &&
         at.y < area.y + area.height;
}

template <class Container>
PointerTarget TargetAmong(const Container& container, Point at) {
  std::vector<Control*> children = container.Children();
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    if (!Covers(**child, at)) continue;
    Point inside{at.x - (*child)->Geometry().x, at.y - (*child)->Geometry().y};
    auto* picture = dynamic_cast<HeadlessPicture*>(*child);
    PointerTarget deeper = picture ? TargetAmong(*picture, inside) : PointerTarget{};
    return deeper.control ? deeper : PointerTarget{*child, inside};
  }
  return {nullptr, at};
}

// Pictures, labels and images raise the mouse events of Control; the system's controls and web
// views handle the pointer themselves.
bool RaisesMouseEvents(Control& control) {
  return dynamic_cast<HeadlessPicture*>(&control) || dynamic_cast<HeadlessLabel*>(&control) ||
         dynamic_cast<HeadlessImageBox*>(&control);
}

}  // namespace

void PressAndRelease(Control& control, MouseButton button, Point at) {
  if (DownAndUp(control, button, at) && button == MouseButton::Left) Raise(control.onClick);
}

void Activate(Control& control) {
  if (IsPressable(control.Accessible().role)) Raise(control.onClick);
}

bool PressKey(TopWindow& window, const KeyEvent& key, Control* focus) {
  auto* view = dynamic_cast<HeadlessWebView*>(focus);
  if (view && view->TextFieldFocused()) return true;
  return key.key != Key::Other && RaiseForAnswer(window.onKeyDown, key);
}

void DoubleClick(TopWindow& window, MouseButton button, Point at) {
  std::weak_ptr<const void> alive = AsHeadless(window).Watch();
  bool left = button == MouseButton::Left;
  if (!DownAndUp(window, button, at)) return;
  Raise(window.onMouseDown, EventAt(button, left, at));
  if (left && !alive.expired()) Raise(window.onDoubleClick);
  if (!alive.expired()) Raise(window.onMouseUp, EventAt(button, false, at));
}

void ClickAt(TopWindow& window, Point at, MouseButton button) {
  PointerTarget target = TargetAmong(AsHeadless(window), at);
  bool left = button == MouseButton::Left;
  if (!target.control) {
    DownAndUp(window, button, at);
  } else if (RaisesMouseEvents(*target.control)) {
    PressAndRelease(*target.control, button, target.at);
  } else if (auto* box = dynamic_cast<HeadlessCheckBox*>(target.control); box && left) {
    box->Click();
  } else if (dynamic_cast<HeadlessButton*>(target.control) && left) {
    Raise(target.control->onClick);
  }
}

void MoveAt(TopWindow& window, Point at, bool leftHeld) {
  PointerTarget target = TargetAmong(AsHeadless(window), at);
  MouseEvent move = EventAt(MouseButton::Left, leftHeld, target.at);
  if (!target.control) {
    Raise(window.onMouseMove, move);
  } else if (RaisesMouseEvents(*target.control)) {
    Raise(target.control->onMouseMove, move);
  }
}

}  // namespace lumora::headless
