#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Raise.h"
#include "platform/headless/HeadlessControls.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessWindow.h"

namespace lumora::test {

// Finds the controls of a headless window the way a user meets them: by the text they show, or
// as what the pointer is over at a place in the window.

// A control with where it lies in the window and what of it the user can see.
struct PlacedControl {
  Control* control = nullptr;
  Rect place;         // in window coordinates
  Rect shownPart;     // the part its holders do not clip away
  bool seen = false;  // it and every picture holding it are visible
};

namespace finder_detail {

inline Rect Intersect(Rect a, Rect b) {
  int left = std::max(a.x, b.x);
  int top = std::max(a.y, b.y);
  int right = std::min(a.x + a.width, b.x + b.width);
  int bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

inline void Collect(const std::vector<Control*>& children, const PlacedControl& holder,
                    std::vector<PlacedControl>& out) {
  for (Control* child : children) {
    Rect geometry = child->Geometry();
    Rect place{holder.place.x + geometry.x, holder.place.y + geometry.y, geometry.width,
               geometry.height};
    PlacedControl placed{child, place, Intersect(place, holder.shownPart),
                         holder.seen && child->Visible()};
    out.push_back(placed);
    if (auto* picture = dynamic_cast<headless::HeadlessPicture*>(child)) {
      Collect(picture->Children(), placed, out);
    }
  }
}

}  // namespace finder_detail

// Every control of the window in the order they are painted: a holder before what it holds,
// earlier siblings before later ones, so a later entry lies above an earlier one.
inline std::vector<PlacedControl> AllControls(TopWindow& window) {
  Size client = window.ClientSize();
  PlacedControl whole{
      nullptr, {0, 0, client.width, client.height}, {0, 0, client.width, client.height}, true};
  std::vector<PlacedControl> controls;
  finder_detail::Collect(headless::AsHeadless(window).Children(), whole, controls);
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
  for (const PlacedControl& placed : AllControls(window)) {
    if (placed.control->Tooltip() == tooltip) return *placed.control;
  }
  throw std::runtime_error("no control with the tooltip \"" + tooltip + "\"");
}

// The first control that assistive technology knows by this role and name, null when none is.
inline Control* Named(TopWindow& window, AccessibleRole role, const std::string& name) {
  for (const PlacedControl& placed : AllControls(window)) {
    AccessibleInfo info = placed.control->Accessible();
    if (info.role == role && info.name == name) return placed.control;
  }
  return nullptr;
}

// What the pointer is over at this window position: the uppermost control seen there, or null
// over the window's own surface.
inline Control* ControlAt(TopWindow& window, Point at) {
  std::vector<PlacedControl> controls = AllControls(window);
  auto under = std::find_if(controls.rbegin(), controls.rend(), [at](const PlacedControl& c) {
    const Rect& part = c.shownPart;
    return c.seen && at.x >= part.x && at.y >= part.y && at.x < part.x + part.width &&
           at.y < part.y + part.height;
  });
  return under == controls.rend() ? nullptr : under->control;
}

// The control as the window holds it.
inline PlacedControl Placed(TopWindow& window, const Control& control) {
  for (const PlacedControl& placed : AllControls(window)) {
    if (placed.control == &control) return placed;
  }
  throw std::runtime_error("the control is not in the window");
}

// Where the control lies in the window.
inline Rect PlaceOf(TopWindow& window, const Control& control) {
  return Placed(window, control).place;
}

// The user's click in the middle of the control, on whatever the pointer meets there.
inline void Click(TopWindow& window, const Control& control,
                  MouseButton button = MouseButton::Left) {
  Rect place = PlaceOf(window, control);
  headless::ClickAt(window, {place.x + place.width / 2, place.y + place.height / 2}, button);
}

// A press on the window's own surface, where no control is, whose release the window manager
// takes (as it does when the press starts its move or size loop).
inline void PressSurface(TopWindow& window, Point at, MouseButton button = MouseButton::Left) {
  Raise(window.onMouseDown, MouseEvent{button, button == MouseButton::Left, at.x, at.y});
}

// Whether the user sees the control: it and every picture holding it are visible.
inline bool Seen(TopWindow& window, const Control& control) {
  return Placed(window, control).seen;
}

}  // namespace lumora::test
