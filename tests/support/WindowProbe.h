#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessControls.h"
#include "platform/headless/HeadlessWindow.h"

namespace lumora::test {

// Finds the controls of a headless window the way a user meets them: by where they are on the
// window, by their tooltip or caption; and gives them the user's pointer input there.
class WindowProbe {
 public:
  explicit WindowProbe(TopWindow& window) : window_(headless::AsHeadless(window)) {}

  // A control with its place in window coordinates.
  struct Placed {
    Control* control;
    Rect bounds;
  };

  // Every control, parents before their children, lowest first.
  std::vector<Placed> All() const {
    std::vector<Placed> all;
    Collect(window_.Children(), {0, 0}, false, all);
    return all;
  }
  // The visible control on top at a window point, the innermost one; none over the bare surface.
  Control* At(Point at) const {
    Control* found = nullptr;
    for (const Placed& placed : VisibleAll()) {
      if (Contains(placed.bounds, at)) found = placed.control;
    }
    return found;
  }
  Rect BoundsOf(const Control& control) const {
    for (const Placed& placed : All()) {
      if (placed.control == &control) return placed.bounds;
    }
    return {};
  }
  // Whether the control and every container around it are visible.
  bool Shown(const Control& control) const {
    for (const Placed& placed : VisibleAll()) {
      if (placed.control == &control) return true;
    }
    return false;
  }
  Control* WithTooltip(const std::string& tooltip) const {
    return FindFirst([&](Control& control) { return control.Tooltip() == tooltip; });
  }
  Label* WithCaption(const std::string& caption) const {
    return dynamic_cast<Label*>(FindFirst([&](Control& control) {
      auto* label = dynamic_cast<Label*>(&control);
      return label && label->Caption() == caption;
    }));
  }
  template <class Kind>
  std::vector<Kind*> OfKind() const {
    std::vector<Kind*> found;
    for (const Placed& placed : All()) {
      if (auto* kind = dynamic_cast<Kind*>(placed.control)) found.push_back(kind);
    }
    return found;
  }

  // The user presses and releases a button at a window point: over a control it gets the press,
  // the release and, for the left button, the click; over the bare surface the window does.
  void Click(Point at, MouseButton button = MouseButton::Left) const {
    bool left = button == MouseButton::Left;
    if (Control* control = At(at)) {
      Point local = Local(*control, at);
      Raise(control->onMouseDown, MouseEvent{button, left, local.x, local.y});
      Raise(control->onMouseUp, MouseEvent{button, false, local.x, local.y});
      if (left) Raise(control->onClick);
      return;
    }
    Raise(window_.onMouseDown, MouseEvent{button, left, at.x, at.y});
    Raise(window_.onMouseUp, MouseEvent{button, false, at.x, at.y});
  }
  void Click(const Control& control, MouseButton button = MouseButton::Left) const {
    Rect bounds = BoundsOf(control);
    Click({bounds.x + bounds.width / 2, bounds.y + bounds.height / 2}, button);
  }
  // The pointer moves to a window point, the left button held or not.
  void MoveTo(Point at, bool leftHeld = false) const {
    Control* control = At(at);
    Point local = control ? Local(*control, at) : at;
    MouseHandler& handler = control ? control->onMouseMove : window_.onMouseMove;
    Raise(handler, MouseEvent{MouseButton::Left, leftHeld, local.x, local.y});
  }
  void PressAt(Point at, MouseButton button = MouseButton::Left) const {
    Raise(window_.onMouseDown, MouseEvent{button, button == MouseButton::Left, at.x, at.y});
  }

 private:
  static bool Contains(Rect r, Point p) {
    return p.x >= r.x && p.y >= r.y && p.x < r.x + r.width && p.y < r.y + r.height;
  }
  static void Raise(const MouseHandler& handler, const MouseEvent& event) {
    if (handler) handler(event);
  }
  static void Raise(const std::function<void()>& handler) {
    if (handler) handler();
  }
  Point Local(const Control& control, Point at) const {
    Rect bounds = BoundsOf(control);
    return {at.x - bounds.x, at.y - bounds.y};
  }
  static void Collect(const std::vector<Control*>& children, Point origin, bool visibleOnly,
                      std::vector<Placed>& out) {
    for (Control* child : children) {
      if (visibleOnly && !child->Visible()) continue;
      Rect local = child->Geometry();
      Rect bounds{origin.x + local.x, origin.y + local.y, local.width, local.height};
      out.push_back({child, bounds});
      if (auto* picture = dynamic_cast<headless::HeadlessPicture*>(child)) {
        Collect(picture->Children(), {bounds.x, bounds.y}, visibleOnly, out);
      }
    }
  }
  std::vector<Placed> VisibleAll() const {
    std::vector<Placed> all;
    Collect(window_.Children(), {0, 0}, true, all);
    return all;
  }
  Control* FindFirst(const std::function<bool(Control&)>& match) const {
    for (const Placed& placed : All()) {
      if (match(*placed.control)) return placed.control;
    }
    return nullptr;
  }

  headless::HeadlessWindow& window_;
};

}  // namespace lumora::test
