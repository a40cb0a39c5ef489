#pragma once

#include <cstdio>
#include <exception>
#include <utility>

namespace lumora::gtk {

// An exception must never unwind through the toolkit's or the engine's C frames: it would end
// the program. The handler's work is abandoned, the fault reported, and the window lives on.
inline void ReportEscapedException(const char* what) {
  std::fprintf(stderr, "lumora: an event handler failed: %s\n", what);
}

// Runs a handler called from the toolkit or the engine, keeping its exceptions on this side.
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

}  // namespace lumora::gtk
