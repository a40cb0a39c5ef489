#pragma once

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/ProcessMemory.h"

namespace lumora::bench {

using Clock = std::chrono::steady_clock;

// A smoke run (LUMORA_BENCH_BRIEF set) only checks that a benchmark gives its figures: spans and
// counts are cut short.
inline bool BriefRun() {
  return std::getenv("LUMORA_BENCH_BRIEF") != nullptr;
}

// Runs the default main context until done() holds; false when the limit passed first.
inline bool PumpUntil(const std::function<bool()>& done, Clock::duration limit) {
  auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(2000);
  }
  return true;
}

inline void PumpFor(Clock::duration span) {
  PumpUntil([] { return false; }, span);
}

// Runs the main loop for this long, sleeping whenever nothing is due, so the measurement itself
// costs no CPU time.
inline void IdleFor(std::chrono::milliseconds span) {
  bool over = false;
  g_timeout_add(
      static_cast<guint>(span.count()),
      [](gpointer flag) {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &over);
  while (!over) g_main_context_iteration(nullptr, TRUE);
}

// The PSS of this process's tree: the median of a few readings a second apart, since the engine's
// memory moves a little all the time.
inline long SettledPssKb(int samples) {
  std::vector<long> readings;
  for (int sample = 0; sample < samples; ++sample) {
    PumpFor(std::chrono::seconds(1));
    readings.push_back(MeasureTree(getpid()).pssKb);
  }
  std::sort(readings.begin(), readings.end());
  return readings[readings.size() / 2];
}

}  // namespace lumora::bench
