// Exit ad memory: what showing the exit ad window adds to the program's processes. Its web view
// is related to the main window's views, so it should join their web process instead of
// starting one of its own. The real program runs in this process, in a fresh AppDir, against the
// demo server on a free port of the same main loop.

#include <glib.h>
#include <unistd.h>

#include <chrono>
#include <exception>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/LumoraApp.h"
#include "bench/BenchSupport.h"
#include "bench/ProcessMemory.h"
#include "bench/ReportErrors.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Loads count as settled after this long without a request to the server.
constexpr std::chrono::milliseconds kQuiet{2000};
constexpr std::chrono::seconds kDeadline{30};

void Settle(const DemoServer& server) {
  auto end = Clock::now() + kDeadline;
  size_t seen = 0;
  auto quietSince = Clock::now();
  while (Clock::now() < end) {
    if (server.RequestLog().size() != seen) {
      seen = server.RequestLog().size();
      quietSince = Clock::now();
    } else if (seen > 0 && Clock::now() - quietSince > kQuiet) {
      return;
    }
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
  throw std::runtime_error("the program did not settle");
}

void WaitForRequest(const DemoServer& server, std::string_view path) {
  auto end = Clock::now() + kDeadline;
  while (Clock::now() < end) {
    for (const std::string& line : server.RequestLog()) {
      if (line.find(path) != std::string::npos) return;
    }
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
  throw std::runtime_error("no request for " + std::string(path));
}

int Run() {
  test::TempDir appDir;
  DemoServer server(LUMORA_BENCH_SITE_DIR);
  server.Start(0);
  gtk::GtkPlatform platform;
  UseProgramsEngineFolders(platform, appDir.Path());
  LumoraApp app(platform, ContentServer(server.BaseUrl(), server.SiteUrl()), appDir.Path());
  if (!app.Start({"lumora"})) throw std::runtime_error("another instance of the program runs");
  Settle(server);
  TreeMemory before = MeasureTree(getpid());

  // The demo's control file, read 6 s after start, asks for the exit ad.
  WaitForRequest(server, "/box/lib/wen.txt");
  Settle(server);
  app.MainWindow()->ttt_v();
  if (!app.ExitAd()) throw std::runtime_error("the exit ad window did not show");
  Settle(server);
  TreeMemory after = MeasureTree(getpid());

  std::cout << "exit-ad processes_before=" << before.processes
            << " processes_after=" << after.processes << " pss_before_kb=" << before.pssKb
            << " pss_added_kb=" << after.pssKb - before.pssKb
            << " unreadable=" << before.unreadable + after.unreadable << "\n";
  return after.processes == before.processes ? 0 : 1;
}

}  // namespace
}  // namespace lumora::bench

int main() {
  return lumora::bench::ReportErrors("exit-ad", [] { return lumora::bench::Run(); });
}
