#pragma once

#include <cstdio>
#include <exception>
#include <utility>

namespace lumora {

// An exception must never leave an event handler: in the real backend it would unwind through the
// toolkit's or the engine's C frames and end the program. Both backends keep it on this side
// alike: the handler's work is abandoned, the fault reported, and the main loop goes on.
inline void ReportEscapedException(const char* what) {
  std::fprintf(stderr, "lumora: an event handler failed: %s\n", what);
}

// Runs a handler called from the main loop, keeping its exceptions on this side.
template <typename Result, typename Call>
Result Guarded(Result fallback, Call&& call) {
  try {
    return call();
  } catch (const std::exception& error) {
    ReportEscapedException(error.what());
  } catch (...) {
    ReportEscapedException("unknown exception");
  }
  return fallback;
}

// Calls an event handler through a copy, so the handler may replace or clear itself, or destroy
// the object that holds it, while it runs.
template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args&&... args) {
  if (!handler) return;
  Handler copy = handler;
  Guarded(true, [&] {
    copy(std::forward<Args>(args)...);
    return true;
  });
}

// Raise for a handler that answers whether it used the event: false without one, or when it
// failed.
template <typename Handler, typename... Args>
bool RaiseForAnswer(const Handler& handler, Args&&... args) {
  if (!handler) return false;
  Handler copy = handler;
  return Guarded(false, [&] { return copy(std::forward<Args>(args)...); });
}

}  // namespace lumora
