// Cost of the server-switched extras: the memory the popup ad window adds to the program's
// processes (its web view joins the main window's web process), and the CPU time all processes
// use over a minute while the ticker cycles and the popup is shown. The real program runs in this
// process, in a fresh AppDir, against the demo server on a free port of the same main loop; the
// extras start as the update check starts them, from the demo server's control file.

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/LumoraApp.h"
#include "bench/ProcessMemory.h"
#include "bench/ReportErrors.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kSettle{10};
constexpr int kMemorySamples = 5;
constexpr std::chrono::seconds kPopupDeadline{40};
constexpr std::chrono::milliseconds kIdleSpan{60000};

bool PumpUntil(const std::function<bool()>& done, Clock::duration limit) {
  auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(2000);
  }
  return true;
}

void PumpFor(Clock::duration span) {
  PumpUntil([] { return false; }, span);
}

// Runs the main loop for this long, sleeping whenever nothing is due, so the measurement itself
// costs no CPU time.
void IdleFor(std::chrono::milliseconds span) {
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

// User and system CPU time of one process in clock ticks; 0 when it is gone.
long CpuTicks(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long user = 0;
  long system = 0;
  // After the name: state is field 3, utime field 14, stime field 15.
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) user = std::stol(field);
    if (index == 15) system = std::stol(field);
  }
  return user + system;
}

// The median of a few readings a second apart: the engine's memory moves a little all the time.
long SettledPssKb() {
  std::vector<long> readings;
  for (int sample = 0; sample < kMemorySamples; ++sample) {
    PumpFor(std::chrono::seconds(1));
    readings.push_back(MeasureTree(getpid()).pssKb);
  }
  std::sort(readings.begin(), readings.end());
  return readings[readings.size() / 2];
}

long TreeCpuTicks() {
  long ticks = 0;
  for (pid_t pid : ProcessTree(getpid())) ticks += CpuTicks(pid);
  return ticks;
}

// The figures line.
std::string Measure() {
  test::TempDir appDir;
  std::ostringstream log;
  DemoServer server(LUMORA_BENCH_SITE_DIR, &log);
  server.Start(0);
  gtk::GtkPlatform platform;
  LumoraApp app(platform, ContentServer(server.BaseUrl(), server.SiteUrl()), appDir.Path());
  if (!app.Start({"lumora-extras-cost"})) {
    throw std::runtime_error("another instance of the program runs");
  }
  // The demo's control file starts the ticker at 6 s and schedules the popup for about 20 s.
  PumpFor(kSettle);
  if (app.PopupAd() && app.PopupAd()->Window() && app.PopupAd()->Window()->IsShown()) {
    throw std::runtime_error("the popup showed before the figures without it were taken");
  }
  long before = SettledPssKb();
  size_t processesBefore = ProcessTree(getpid()).size();

  if (!PumpUntil([&] { return app.PopupAd()->Window()->IsShown(); }, kPopupDeadline))
    throw std::runtime_error("the popup did not show");
  PumpFor(kSettle);
  long after = SettledPssKb();

  long ticksBefore = TreeCpuTicks();
  auto start = Clock::now();
  IdleFor(kIdleSpan);
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = static_cast<double>(TreeCpuTicks() - ticksBefore) / sysconf(_SC_CLK_TCK);
  std::ostringstream figures;
  figures << "extras-cost popup_pss_kb=" << after - before << " before_pss_kb=" << before
          << " processes_before=" << processesBefore
          << " processes_after=" << ProcessTree(getpid()).size()
          << " idle_cpu_percent=" << 100 * cpu / wall << " over_s=" << wall;
  return figures.str();
}

}  // namespace
}  // namespace lumora::bench

int main() {
  return lumora::bench::ReportErrors("extras-cost", [] {
    std::cout << lumora::bench::Measure() << std::endl;
    return 0;
  });
}
