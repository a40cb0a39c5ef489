#pragma once

#include <gtk/gtk.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "bench/LoadTally.h"
#include "bench/PaintWatch.h"
#include "bench/ProcessMemory.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::bench {

// The main window's views in the order their start pages are opened.
inline constexpr std::array<const char*, 9> kStartPageViews = {
    "Web1", "Web2", "Web3", "Web5", "Web6", "Web8", "Web9", "Web11", "Web10"};

// A one-shot GLib timeout on the default main context, removed if still pending when this goes.
class OneShotTimeout {
 public:
  OneShotTimeout() = default;
  ~OneShotTimeout() { Cancel(); }
  OneShotTimeout(const OneShotTimeout&) = delete;
  OneShotTimeout& operator=(const OneShotTimeout&) = delete;

  void Start(std::chrono::milliseconds delay, std::function<void()> action);
  void Cancel();

 private:
  static gboolean Fire(gpointer self);

  guint id_ = 0;
  std::function<void()> action_;
};

// Where the portal page's title shows in the main window at its default size: the header bar at
// the top of the portal view.
inline constexpr GdkRectangle kPortalTitleArea = {5, 39, 400, 40};

// Measures one start-up: the time from launch until the X server has mapped the first toplevel
// window, the time until the portal page's content is first on screen (the first frame showing its
// title), the time until every start page has finished loading (or failed) once, and, after a
// settling pause that lets late allocations count, the PSS of this process and all its
// descendants. Launch is the CLOCK_REALTIME nanoseconds in LUMORA_BENCH_LAUNCHED_AT when the
// launcher set it, or else the moment the probe is made (make it first thing in main).
class StartupProbe {
 public:
  static constexpr std::chrono::milliseconds kSettle{1000};
  static constexpr std::chrono::milliseconds kDeadline{60000};

  explicit StartupProbe(std::string variant);
  ~StartupProbe();
  StartupProbe(const StartupProbe&) = delete;
  StartupProbe& operator=(const StartupProbe&) = delete;

  // Watches the toplevel windows that exist now for their first map, and the shown one for the
  // portal's first paint. Call it after they were shown but before the main loop runs, so their
  // map events are still to come.
  void WatchToplevels();
  // The view at this index of kStartPageViews finished a load.
  void ViewFinished(std::size_t view);
  // An extra figure for the report line.
  void AddFigure(std::string name, long value) { figures_.emplace_back(std::move(name), value); }
  // One line "VARIANT mapped_ms=... portal_paint_ms=... loaded_ms=... pss_kb=... ...", or "VARIANT
  // error: ...". False when the start-up did not complete.
  bool Report(std::ostream& out) const;

  // Called once the figures are complete, or at the deadline.
  std::function<void()> onDone;

 private:
  using Clock = std::chrono::system_clock;

  static gboolean OnMapEvent(GtkWidget* window, GdkEvent* event, gpointer self);
  void StopWatchingMaps();
  void MeasureMemory();
  void Finish();
  double MillisecondsSinceLaunch() const;
  std::string Problem() const;

  std::string variant_;
  Clock::time_point launched_;
  bool launchFromLauncher_ = false;
  LoadTally tally_{kStartPageViews.size()};
  std::optional<double> mappedMs_;
  std::optional<double> portalPaintMs_;
  std::optional<double> loadedMs_;
  std::optional<TreeMemory> memory_;
  std::vector<std::pair<std::string, long>> figures_;
  std::vector<gtk::GObjectPtr<GtkWidget>> watchedWindows_;
  PaintWatch portalPaint_{kPortalTitleArea, IsPortalTitleOrange};
  OneShotTimeout settle_;
  OneShotTimeout deadline_;
};

}  // namespace lumora::bench
