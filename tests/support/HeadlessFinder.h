#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/HeadlessControls.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessWindow.h"

namespace lumora::test {

// Finds the controls of a headless window the way a user meets them: by the text they show, or
// as what the pointer is over at a place in the window.

// A control with where it lies in the window and whether the user can see it.
struct PlacedControl {
  Control* control = nullptr;
  Rect place;         // in window coordinates
  bool seen = false;  // it and every picture holding it are visible
};

namespace finder_detail {

inline void Collect(const std::vector<Control*>& children, const PlacedControl& holder,
                    std::vector<PlacedControl>& out) {
  for (Control* child : children) {
    Rect at = child->Geometry();
    PlacedControl placed{child,
                         {holder.place.x + at.x, holder.place.y + at.y, at.width, at.height},
                         holder.seen && child->Visible()};
    out.push_back(placed);
    if (auto* picture = dynamic_cast<headless::HeadlessPicture*>(child)) {
      Collect(picture->Children(), placed, out);
    }
  }
}

// The uppermost visible control at this position among these, looking into pictures, which clip
// what they hold.
inline Control* Under(const std::vector<Control*>& children, Point at) {
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    Rect area = (*child)->Geometry();
    bool over = at.x >= area.x && at.y >= area.y && at.x < area.x + area.width;
    if (!(*child)->Visible() || !over || at.y >= area.y + area.height) continue;
    auto* picture = dynamic_cast<headless::HeadlessPicture*>(*child);
    Control* held = picture ? Under(picture->Children(), {at.x - area.x, at.y - area.y}) : nullptr;
    return held ? held : *child;
  }
  return nullptr;
}

}  // namespace finder_detail

// Every control of the window in the order they are painted: a holder before what it holds,
// earlier siblings before later ones.
inline std::vector<PlacedControl> AllControls(TopWindow& window) {
  std::vector<PlacedControl> controls;
  finder_detail::Collect(headless::AsHeadless(window).Children(), {nullptr, {}, true}, controls);
  return controls;
}

// The controls of this kind, in painting order.
template <class Kind>
std::vector<Kind*> ControlsOf(TopWindow& window) {
  std::vector<Kind*> found;
  for (const PlacedControl& placed : AllControls(window)) {
    if (auto* control = dynamic_cast<Kind*>(placed.control)) found.push_back(control);
  }
  return found;
}

// The one control of this kind with this caption (a label, check box or button).
template <class Kind>
Kind& Captioned(TopWindow& window, const std::string& caption) {
  for (Kind* control : ControlsOf<Kind>(window)) {
    if (control->Caption() == caption) return *control;
  }
  throw std::runtime_error("no control captioned \"" + caption + "\"");
}

// The one control with this tooltip.
inline Control& WithTooltip(TopWindow& window, const std::string& tooltip) {
  for (Control* control : ControlsOf<Control>(window)) {
    if (control->Tooltip() == tooltip) return *control;
  }
  throw std::runtime_error("no control with the tooltip \"" + tooltip + "\"");
}

// The first control that assistive technology knows by this role and name, null when none is.
inline Control* Named(TopWindow& window, AccessibleRole role, const std::string& name) {
  for (Control* control : ControlsOf<Control>(window)) {
    if (control->Accessible() == AccessibleInfo{role, name}) return control;
  }
  return nullptr;
}

// What the pointer is over at this window position: the uppermost control seen there, or null
// over the window's own surface.
inline Control* ControlAt(TopWindow& window, Point at) {
  return finder_detail::Under(headless::AsHeadless(window).Children(), at);
}

// The control as the window holds it: where it lies in the window, whether the user sees it.
inline PlacedControl Placed(TopWindow& window, const Control& control) {
  for (const PlacedControl& placed : AllControls(window)) {
    if (placed.control == &control) return placed;
  }
  throw std::runtime_error("the control is not in the window");
}

// The user's click in the middle of the control, on whatever the pointer meets there.
inline void Click(TopWindow& window, const Control& control,
                  MouseButton button = MouseButton::Left) {
  Rect place = Placed(window, control).place;
  headless::ClickAt(window, {place.x + place.width / 2, place.y + place.height / 2}, button);
}

}  // namespace lumora::test
