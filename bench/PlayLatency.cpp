// Play latency: the time from a play link followed in the portal view until the player page's
// request reaches the server, less the server's own time for the play data. The real program
// runs in this process, in a fresh AppDir, against the demo server on a free port of the same
// main loop.

#include <glib.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <iostream>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "app/LumoraApp.h"
#include "bench/BenchSupport.h"
#include "bench/ReportErrors.h"
#include "core/TextCodec.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/Catalogue.h"
#include "server/DemoServer.h"
#include "server/SitePaths.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 20;
constexpr const char* kLinks[] = {"kavovod://102-0-0-%u5C71", "kavovod://105-0-0-A%20Year"};
// Start-up counts as settled after this long without a request; a play, after the shorter time.
constexpr std::chrono::milliseconds kStartupQuiet{1500};
constexpr std::chrono::milliseconds kPlayQuiet{300};
constexpr std::chrono::seconds kDeadline{30};

// The server's request log as it is written: every line with the moment it was flushed.
class LogHook : public std::streambuf {
 public:
  struct Line {
    std::string text;
    Clock::time_point at;
  };
  std::vector<Line> lines;

 protected:
  int overflow(int c) override {
    if (c == '\n') {
      lines.push_back({pending_, Clock::now()});
      pending_.clear();
    } else if (c != traits_type::eof()) {
      pending_ += static_cast<char>(c);
    }
    return c == traits_type::eof() ? 0 : c;
  }

 private:
  std::string pending_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Settled once the server has had no request for `quiet`.
void Settle(const LogHook& log, std::chrono::milliseconds quiet) {
  auto end = Clock::now() + kDeadline;
  size_t seen = 0;
  auto quietSince = Clock::now();
  while (Clock::now() < end) {
    if (log.lines.size() != seen) {
      seen = log.lines.size();
      quietSince = Clock::now();
    } else if (!log.lines.empty() && Clock::now() - quietSince > quiet) {
      return;
    }
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
  throw std::runtime_error("start-up did not settle");
}

// What the server does for the play data request of this log line ("GET target status"),
// timed: the median of a few answers to the same query.
double PlayDataMilliseconds(const Catalogue& catalogue, std::string_view line) {
  std::string_view target = line.substr(0, line.rfind(' '));
  std::string_view query = target.substr(target.find('?') + 1);
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    auto start = Clock::now();
    std::string reply = Utf8ToGbk(catalogue.PlayReply(RawQueryValue(query, "id").value_or(""),
                                                      RawQueryValue(query, "v").value_or(""),
                                                      RawQueryValue(query, "v1").value_or("")));
    times.push_back(Milliseconds(Clock::now() - start).count());
    if (reply.find('$') == std::string::npos) throw std::runtime_error("no play data");
  }
  return Median(times);
}

int Run() {
  test::TempDir appDir;
  LogHook hook;
  std::ostream log(&hook);
  DemoServer server(LUMORA_BENCH_SITE_DIR, &log);
  server.Start(0);
  Catalogue catalogue =
      Catalogue::Load(std::filesystem::path(LUMORA_BENCH_SITE_DIR) / "catalogue.txt");
  gtk::GtkPlatform platform;
  UseProgramsEngineFolders(platform, appDir.Path());
  LumoraApp app(platform, ContentServer(server.BaseUrl(), server.SiteUrl()), appDir.Path());
  if (!app.Start({"lumora-play-latency"}))
    throw std::runtime_error("another instance of the program runs");
  Settle(hook, kStartupQuiet);

  std::vector<double> latencies;
  std::vector<double> serverTimes;
  const int runs = BriefRun() ? 2 : kRuns;
  for (int run = 0; run < runs; ++run) {
    size_t from = hook.lines.size();
    auto find = [&](std::string_view prefix) -> const LogHook::Line* {
      for (size_t i = from; i < hook.lines.size(); ++i) {
        if (hook.lines[i].text.starts_with(prefix)) return &hook.lines[i];
      }
      return nullptr;
    };
    auto start = Clock::now();
    app.MainWindow()->PortalView().Navigate(kLinks[run % 2]);
    if (!PumpUntil([&] { return find("GET /box/play.htm") != nullptr; }, kDeadline))
      throw std::runtime_error("no player page request");
    double total = Milliseconds(find("GET /box/play.htm")->at - start).count();
    const LogHook::Line* data = find("GET /box/h.asp?");
    if (data == nullptr) throw std::runtime_error("no play data request");
    double serverTime = PlayDataMilliseconds(catalogue, data->text.substr(4));
    latencies.push_back(total - serverTime);
    serverTimes.push_back(serverTime);
    Settle(hook, kPlayQuiet);
  }
  std::cout << "play-latency runs=" << runs << " median_ms=" << Median(latencies)
            << " min_ms=" << *std::min_element(latencies.begin(), latencies.end())
            << " max_ms=" << *std::max_element(latencies.begin(), latencies.end())
            << " play_data_server_ms=" << Median(serverTimes) << "\n";
  return 0;
}

}  // namespace
}  // namespace lumora::bench

int main() {
  return lumora::bench::ReportErrors("play-latency", [] { return lumora::bench::Run(); });
}
