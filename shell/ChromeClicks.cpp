#include "shell/ChromeClicks.h"

#include <utility>

namespace lumora {

void ChromeClicks::Wire(Control& element, std::function<void()> command) {
  element.onMouseDown = [this](const MouseEvent& event) { Press(event); };
  element.onMouseUp = [this](const MouseEvent& event) { Release(event); };
  element.onMouseMove = [this](const MouseEvent&) { window_.SetPointer(PointerShape::Arrow); };
  element.onClick = [this, command = std::move(command)] {
    if (onBeforeCommand) onBeforeCommand();
    if (!TakeSwallowed()) command();
  };
}

void ChromeClicks::Press(const MouseEvent& event) {
  swallowNext_ = event.button != MouseButton::Left;
}

void ChromeClicks::Release(const MouseEvent& event) {
  if (event.button != MouseButton::Left) swallowNext_ = false;
}

bool ChromeClicks::TakeSwallowed() {
  return std::exchange(swallowNext_, false);
}

}  // namespace lumora
