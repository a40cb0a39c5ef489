// The program side of the start-up benchmark: the real program's start-up in this process, in
// a fresh AppDir, against the demo server on a free port of the same main loop.

#include <array>
#include <exception>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/LumoraApp.h"
#include "bench/BenchSupport.h"
#include "bench/ReportErrors.h"
#include "bench/StartupProbe.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

// Reports every finished page of the start page views to the probe, pictures and frames
// included as the floor counts them, after the handler the program set has run.
void CountCompletions(BA1& form, StartupProbe& probe) {
  std::array<WebView*, 9> views = form.WebViews();
  for (std::size_t index = 0; index < views.size(); ++index) {
    std::function<void()>& handler = views[index]->onDocumentComplete;
    handler = [programs = std::move(handler), &probe, index] {
      if (programs) programs();
      probe.ViewFinished(index);
    };
  }
}

int Run(StartupProbe& probe, const std::vector<std::string>& commandLine) {
  test::TempDir appDir;
  DemoServer server(LUMORA_BENCH_SITE_DIR);
  server.Start(0);
  gtk::GtkPlatform platform;
  UseProgramsEngineFolders(platform, appDir.Path());
  LumoraApp app(platform, ContentServer(server.BaseUrl(), server.SiteUrl()), appDir.Path());
  if (!app.Start(commandLine)) throw std::runtime_error("another instance of the program runs");
  probe.WatchToplevels();
  CountCompletions(*app.MainWindow(), probe);
  probe.onDone = [&platform] { platform.QuitMainLoop(); };
  platform.RunMainLoop();
  probe.AddFigure("requests", static_cast<long>(server.RequestLog().size()));
  return probe.Report(std::cout) ? 0 : 1;
}

}  // namespace
}  // namespace lumora::bench

int main(int argc, char** argv) {
  lumora::bench::StartupProbe probe("program");
  return lumora::bench::ReportErrors("program", [&] {
    return lumora::bench::Run(probe, std::vector<std::string>(argv, argv + argc));
  });
}
