#pragma once

#include <chrono>
#include <functional>

#include "platform/Platform.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTopWindow.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::testing {

// What a test of the platform contract needs of a backend beyond the platform itself: the user's
// pointer at a position of a window, and the window system catching up with what it was asked.

// The in-memory backend: the pointer is routed in memory and nothing is ever under way outside
// the loop's queue.
struct HeadlessDriver {
  static constexpr const char* kName = "headless";

  void Click(TopWindow& window, Point at) { headless::ClickAt(window, at); }
  void MoveTo(TopWindow& window, Point at) { headless::MoveAt(window, at); }
  bool Settle(TopWindow&) { return true; }

  headless::HeadlessPlatform platform;
};

// The real backend under the test's X server: real pointer input at the window's place on the
// screen, which needs no window manager.
struct GtkDriver {
  static constexpr const char* kName = "gtk";

  void Click(TopWindow& window, Point at) {
    Point screen = OnScreen(window, at);
    ClickOnScreen(screen.x, screen.y);
  }
  void MoveTo(TopWindow& window, Point at) {
    Point screen = OnScreen(window, at);
    PointAtScreen(screen.x, screen.y);
  }
  bool Settle(TopWindow& window) {
    return testing::Settle(GTK_WIDGET(dynamic_cast<gtk::GtkTopWindow&>(window).Handle()));
  }

  gtk::GtkPlatform platform;

 private:
  static Point OnScreen(TopWindow& window, Point at) {
    return {window.Bounds().x + at.x, window.Bounds().y + at.y};
  }
};

// Runs the platform's main loop until done holds or the deadline has passed on the platform's own
// clock: virtual time in the headless backend, real time in GTK. Returns done().
inline bool RunUntil(Platform& platform, const std::function<bool()>& done,
                     std::chrono::milliseconds deadline = 5s) {
  Clock& clock = platform.GetClock();
  WallTime end = clock.Now() + deadline;
  while (!done()) {
    if (clock.Now() >= end) return done();
    platform.GetEventLoop().ProcessEvents(10ms);
  }
  return true;
}

}  // namespace lumora::testing
