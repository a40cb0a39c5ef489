#pragma once

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/EngineFolders.h"
#include "bench/ProcessMemory.h"
#include "platform/gtk/GtkPlatform.h"

namespace lumora::bench {

using Clock = std::chrono::steady_clock;

// A smoke run (LUMORA_BENCH_BRIEF set) only checks that a benchmark gives its figures: spans and
// counts are cut short.
inline bool BriefRun() {
  return std::getenv("LUMORA_BENCH_BRIEF") != nullptr;
}

// The engine keeps its data and cache in the folders the program's main gives it for this data
// folder, on disk as for a user.
inline void UseProgramsEngineFolders(gtk::GtkPlatform& platform,
                                     const std::filesystem::path& appDir) {
  EngineFolders engine = ChooseEngineFolders(CurrentEngineFolderInputs(appDir));
  platform.UseWebDataFolders(engine.data, engine.cache);
}

// Runs the default main context until done() holds; false when the limit passed first. Events are
// handled as they come; a short tick checks the condition when none comes.
inline bool PumpUntil(const std::function<bool()>& done, Clock::duration limit) {
  auto end = Clock::now() + limit;
  guint tick = g_timeout_add(
      2, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = done();
  while (!held && Clock::now() <= end) {
    g_main_context_iteration(nullptr, TRUE);
    held = done();
  }
  g_source_remove(tick);
  return held;
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
