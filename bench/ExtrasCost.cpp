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
#include "bench/BenchSupport.h"
#include "bench/ProcessMemory.h"
#include "bench/ReportErrors.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

constexpr std::chrono::seconds kSettle{10};
constexpr std::chrono::seconds kPopupDeadline{40};

// The figures line.
std::string Measure() {
  test::TempDir appDir;
  std::ostringstream log;
  DemoServer server(LUMORA_BENCH_SITE_DIR, &log);
  server.Start(0);
  gtk::GtkPlatform platform;
  UseProgramsEngineFolders(platform, appDir.Path());
  LumoraApp app(platform, ContentServer(server.BaseUrl(), server.SiteUrl()), appDir.Path());
  if (!app.Start({"lumora-extras-cost"})) {
    throw std::runtime_error("another instance of the program runs");
  }
  // The demo's control file starts the ticker at 6 s and schedules the popup for about 20 s.
  PumpFor(kSettle);
  if (app.PopupAd() && app.PopupAd()->Window() && app.PopupAd()->Window()->IsShown()) {
    throw std::runtime_error("the popup showed before the figures without it were taken");
  }
  // A smoke run keeps the waits the extras need and cuts the measuring short.
  const int memorySamples = BriefRun() ? 1 : 5;
  long before = SettledPssKb(memorySamples);
  size_t processesBefore = ProcessTree(getpid()).size();

  if (!PumpUntil([&] { return app.PopupAd()->Window()->IsShown(); }, kPopupDeadline))
    throw std::runtime_error("the popup did not show");
  PumpFor(BriefRun() ? std::chrono::seconds(1) : kSettle);
  long after = SettledPssKb(memorySamples);

  long ticksBefore = TreeCpuTicks(getpid());
  auto start = Clock::now();
  IdleFor(BriefRun() ? std::chrono::milliseconds(3000) : std::chrono::milliseconds(60000));
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = static_cast<double>(TreeCpuTicks(getpid()) - ticksBefore) / sysconf(_SC_CLK_TCK);
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
