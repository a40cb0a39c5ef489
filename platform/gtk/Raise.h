#pragma once

#include <utility>

namespace lumora::gtk {

// Calls an event handler through a copy, so the handler may replace or clear itself, or destroy
// the object that holds it, while it runs.
template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args&&... args) {
  if (!handler) return;
  Handler copy = handler;
  copy(std::forward<Args>(args)...);
}

}  // namespace lumora::gtk
