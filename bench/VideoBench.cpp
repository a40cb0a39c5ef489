// Video benchmarks: the real program (in this process, in a fresh AppDir, against the demo
// server on a free port of the same main loop) against a floor, one bare web view with the
// program's engine settings in a window of the main window's size, showing the same player page.
//
//   lumora-video-bench first-frame program|floor
//     program: a pointer click (xdotool) on the first portal tile until the first frame of the
//     demo video is on screen in the player view; floor: the view's navigation to the player page
//     until then.
//   lumora-video-bench playback program|floor
//     CPU time of all processes over 30 s of the video playing, and the PSS while it plays.
//   lumora-video-bench long-session program
//     LUMORA_BENCH_PLAYS plays (default 200) a few seconds apart with the ticker and the popup
//     on: PSS, file descriptors and threads of all processes, their growth, and how many plays
//     reached the server as a player page.
//
// LUMORA_BENCH_BRIEF makes every span short, for a smoke run.

#include <gtk/gtk.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "app/LumoraApp.h"
#include "bench/BenchSupport.h"
#include "bench/PaintWatch.h"
#include "bench/ProcessMemory.h"
#include "bench/ReportErrors.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::chrono::seconds kDeadline{40};
// The web process's command name, cut to the kernel's 15 characters.
constexpr std::string_view kWebProcessName = "WebKitWebProces";
// Start-up counts as settled after this long without a request.
constexpr std::chrono::milliseconds kQuiet{1500};
// The first portal tile's poster, in the main window: the portal view's place plus the tile's.
constexpr int kTileX = 80;
constexpr int kTileY = 165;
// Where the player view shows the video, in the main window; the floor's view sits there too.
constexpr GdkRectangle kPlayerPlace = {5, 39, 778, 582};
// A strip across the video's colour bars: enough to see the first frame, and small enough that
// reading it back after every frame of the window costs next to nothing.
constexpr GdkRectangle kVideoArea = {100, 220, 580, 2};
// The first tile's first episode, as the program plays it, and the page it plays in.
constexpr const char* kPlayLink = "kavovod://101-0-0-The%20Quiet%20Harbour";
constexpr const char* kPlayerPage = "play.htm?m/101/0/1$$$%u6B63%u7247%20%28Director%27s%20Cut%29";
constexpr const char* kOtherPlayLinks[] = {kPlayLink, "kavovod://102-0-0-%u5C71",
                                           "kavovod://103-0-0-Tide-Runner",
                                           "kavovod://105-0-0-A%20Year"};

double SecondsOf(Clock::duration span) {
  return std::chrono::duration<double>(span).count();
}

// Settled once the server has had no request for a while.
void Settle(const DemoServer& server) {
  std::size_t seen = 0;
  auto quietSince = Clock::now();
  bool settled = PumpUntil(
      [&] {
        if (server.RequestLog().size() != seen) {
          seen = server.RequestLog().size();
          quietSince = Clock::now();
        }
        return seen > 0 && Clock::now() - quietSince > kQuiet;
      },
      kDeadline);
  if (!settled) throw std::runtime_error("the pages did not settle");
}

// The shown toplevel window: the main window, or the floor's.
GtkWidget* ShownWindow() {
  g_autoptr(GList) toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item; item = item->next) {
    GtkWidget* window = GTK_WIDGET(item->data);
    if (gtk_window_get_window_type(GTK_WINDOW(window)) == GTK_WINDOW_TOPLEVEL &&
        gtk_widget_get_mapped(window)) {
      return window;
    }
  }
  throw std::runtime_error("no window is shown");
}

// The moment the demo video's first frame is on screen, once watching starts.
class FirstFrame {
 public:
  FirstFrame() {
    watch_.onSeen = [this] { seen_ = Clock::now(); };
  }
  void Watch() { watch_.Watch(ShownWindow()); }
  Clock::time_point Wait() {
    if (!PumpUntil([this] { return seen_.has_value(); }, kDeadline)) {
      throw std::runtime_error("no video frame was shown");
    }
    return *seen_;
  }

 private:
  PaintWatch watch_{kVideoArea, IsVideoBarColour};
  std::optional<Clock::time_point> seen_;
};

// Notes when the first mouse button press reaches the program, then hands every event on.
class PressWatch {
 public:
  PressWatch() { gdk_event_handler_set(OnEvent, this, nullptr); }
  ~PressWatch() {
    gdk_event_handler_set([](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr,
                          nullptr);
  }
  PressWatch(const PressWatch&) = delete;
  PressWatch& operator=(const PressWatch&) = delete;

  Clock::time_point Pressed() const {
    if (!pressed_) throw std::runtime_error("the click did not arrive");
    return *pressed_;
  }

 private:
  static void OnEvent(GdkEvent* event, gpointer data) {
    auto* self = static_cast<PressWatch*>(data);
    if (event->type == GDK_BUTTON_PRESS && !self->pressed_) self->pressed_ = Clock::now();
    gtk_main_do_event(event);
  }

  std::optional<Clock::time_point> pressed_;
};

// Clicks the first mouse button at a point of the window, as a user does, through the X server.
void ClickAt(GtkWidget* window, int x, int y) {
  int originX = 0;
  int originY = 0;
  gdk_window_get_origin(gtk_widget_get_window(window), &originX, &originY);
  std::string screenX = std::to_string(originX + x);
  std::string screenY = std::to_string(originY + y);
  const char* argv[] = {"xdotool", "mousemove", screenX.c_str(), screenY.c_str(),
                        "click",   "1",         nullptr};
  g_autoptr(GError) error = nullptr;
  if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                     nullptr, nullptr, &error)) {
    throw std::runtime_error(std::string("xdotool: ") + error->message);
  }
}

// CPU time in clock ticks so far: of all processes, of this process, of its main thread (the
// window with its views' drawing, and the demo server) and of the web process (every view's pages
// and the video's decoding).
struct CpuSoFar {
  long all = 0;
  long thisProcess = 0;
  long mainThread = 0;
  long web = 0;

  static CpuSoFar Now() {
    pid_t self = getpid();
    return {TreeCpuTicks(self), CpuTicks(self), ThreadCpuTicks(self, self),
            NamedCpuTicks(self, kWebProcessName)};
  }
};

// CPU time of all processes over a span of playing, told apart as CpuSoFar does, and the PSS
// while playing.
std::string PlayingCost() {
  PumpFor(std::chrono::seconds(BriefRun() ? 0 : 2));
  CpuSoFar before = CpuSoFar::Now();
  auto start = Clock::now();
  IdleFor(std::chrono::milliseconds(BriefRun() ? 3000 : 30000));
  double wall = SecondsOf(Clock::now() - start);
  CpuSoFar after = CpuSoFar::Now();
  auto seconds = [](long from, long to) {
    return static_cast<double>(to - from) / sysconf(_SC_CLK_TCK);
  };
  pid_t self = getpid();
  std::ostringstream figures;
  // This process: the window and the demo server alike for program and floor.
  figures << "cpu_s=" << seconds(before.all, after.all)
          << " this_cpu_s=" << seconds(before.thisProcess, after.thisProcess)
          << " main_thread_cpu_s=" << seconds(before.mainThread, after.mainThread)
          << " web_cpu_s=" << seconds(before.web, after.web)
          << " pss_kb=" << SettledPssKb(BriefRun() ? 1 : 5) << " over_s=" << wall
          << " processes=" << ProcessTree(self).size() << " by_process";
  // Where the memory is: the larger processes by name.
  for (const auto& [pid, kb] : PssByProcess(self)) {
    if (kb <= 4096) continue;
    figures << " " << (pid == self ? std::string("this") : ProcessName(pid)) << ":" << kb;
  }
  return figures.str();
}

// The real program, started and settled.
class Program {
 public:
  Program() : server_(LUMORA_BENCH_SITE_DIR) {
    server_.Start(0);
    UseProgramsEngineFolders(platform_, appDir_.Path());
    app_.emplace(platform_, ContentServer(server_.BaseUrl(), server_.SiteUrl()), appDir_.Path());
    if (!app_->Start({"lumora-video-bench"})) {
      throw std::runtime_error("another instance of the program runs");
    }
    Settle(server_);
  }

  LumoraApp& App() { return *app_; }
  const DemoServer& Server() const { return server_; }

  // Until the update check has shown the popup, which it does some 20 s after start, with the
  // ticker already running.
  void WaitForExtras() {
    if (!PumpUntil([this] { return PopupShown(); }, kDeadline)) {
      throw std::runtime_error("the popup did not show");
    }
    Settle(server_);
  }

 private:
  bool PopupShown() {
    return app_->PopupAd() && app_->PopupAd()->Window() && app_->PopupAd()->Window()->IsShown();
  }

  test::TempDir appDir_;
  DemoServer server_;
  gtk::GtkPlatform platform_;
  std::optional<LumoraApp> app_;
};

// The floor: one bare view at the player view's place in an undecorated window of the main
// window's size, its web process started on a blank page.
class Floor {
 public:
  Floor() : server_(LUMORA_BENCH_SITE_DIR) {
    server_.Start(0);
    if (!gtk_init_check(nullptr, nullptr)) throw std::runtime_error("no display");
    context_.reset(webkit_web_context_new());
    webkit_web_context_set_sandbox_enabled(context_.get(), TRUE);
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window_), 990, 655);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    GtkWidget* layout = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(window_), layout);
    view_ = NewView();
    gtk_widget_set_size_request(GTK_WIDGET(view_), kPlayerPlace.width, kPlayerPlace.height);
    gtk_layout_put(GTK_LAYOUT(layout), GTK_WIDGET(view_), kPlayerPlace.x, kPlayerPlace.y);
    gtk_widget_show_all(window_);
    webkit_web_view_load_uri(view_, "about:blank");
    if (!PumpUntil([this] { return !webkit_web_view_is_loading(view_); }, kDeadline)) {
      throw std::runtime_error("the blank page did not load");
    }
    PumpFor(std::chrono::seconds(1));
  }
  ~Floor() { gtk_widget_destroy(window_); }
  Floor(const Floor&) = delete;
  Floor& operator=(const Floor&) = delete;

  void OpenPlayerPage() {
    webkit_web_view_load_uri(view_, (server_.BaseUrl() + kPlayerPage).c_str());
  }

 private:
  // As the program makes its views: no hardware acceleration, GBK, the video plays as it opens.
  WebKitWebView* NewView() {
    gtk::GObjectPtr<WebKitSettings> settings(webkit_settings_new());
    webkit_settings_set_hardware_acceleration_policy(settings.get(),
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_default_charset(settings.get(), "GBK");
    gtk::GObjectPtr<WebKitWebsitePolicies> policies(
        webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr));
    return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context_.get(),
                                        "settings", settings.get(), "website-policies",
                                        policies.get(), nullptr));
  }

  DemoServer server_;
  gtk::GObjectPtr<WebKitWebContext> context_;
  GtkWidget* window_ = nullptr;
  WebKitWebView* view_ = nullptr;
};

std::string ProgramFirstFrame() {
  Program program;
  GtkWidget* window = ShownWindow();
  FirstFrame frame;
  PressWatch press;
  frame.Watch();
  ClickAt(window, kTileX, kTileY);
  Clock::time_point shown = frame.Wait();
  return "first_frame_ms=" + std::to_string(Milliseconds(shown - press.Pressed()).count());
}

std::string FloorFirstFrame() {
  Floor floor;
  FirstFrame frame;
  frame.Watch();
  auto start = Clock::now();
  floor.OpenPlayerPage();
  return "first_frame_ms=" + std::to_string(Milliseconds(frame.Wait() - start).count());
}

std::string ProgramPlayback() {
  Program program;
  if (!BriefRun()) program.WaitForExtras();
  FirstFrame frame;
  frame.Watch();
  program.App().MainWindow()->PortalView().Navigate(kPlayLink);
  frame.Wait();
  return PlayingCost();
}

std::string FloorPlayback() {
  Floor floor;
  FirstFrame frame;
  frame.Watch();
  floor.OpenPlayerPage();
  frame.Wait();
  return PlayingCost();
}

int PlaysWanted() {
  const char* text = std::getenv("LUMORA_BENCH_PLAYS");
  int plays = text ? std::atoi(text) : 200;
  if (plays < 1) throw std::runtime_error("LUMORA_BENCH_PLAYS is not a count of plays");
  return plays;
}

struct Sample {
  int plays;
  std::map<pid_t, long> pssKb;
  TreeHandles handles;

  long TotalPssKb() const {
    long total = 0;
    for (const auto& [pid, kb] : pssKb) total += kb;
    return total;
  }
};

// The process whose PSS grew most between two samples, as "name:kB".
std::string GrewMost(const Sample& first, const Sample& last) {
  pid_t most = 0;
  long growth = 0;
  for (const auto& [pid, kb] : last.pssKb) {
    auto before = first.pssKb.find(pid);
    long grown = kb - (before == first.pssKb.end() ? 0 : before->second);
    if (most == 0 || grown > growth) std::tie(most, growth) = std::pair(pid, grown);
  }
  return ProcessName(most) + ":" + std::to_string(growth);
}

// Growth of PSS per 100 plays: the median of the slopes between every two samples, which a few
// samples that caught a video's buffers full do not sway.
double PssGrowthPer100(const std::vector<Sample>& samples) {
  std::vector<double> slopes;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    for (std::size_t j = i + 1; j < samples.size(); ++j) {
      double grown = static_cast<double>(samples[j].TotalPssKb() - samples[i].TotalPssKb());
      slopes.push_back(100 * grown / (samples[j].plays - samples[i].plays));
    }
  }
  if (slopes.empty()) return 0;
  std::nth_element(slopes.begin(), slopes.begin() + slopes.size() / 2, slopes.end());
  return slopes[slopes.size() / 2];
}

// How many plays reached the server as a player page: fewer than the plays when the engine stopped
// loading pages during the session.
long PlayerPagesServed(const DemoServer& server) {
  return std::ranges::count_if(server.RequestLog(), [](const std::string& line) {
    return line.find(" /box/play.htm?") != std::string::npos;
  });
}

// The samples' PSS in MB, comma-separated.
std::string PssSeries(const std::vector<Sample>& samples) {
  std::string series;
  for (const Sample& sample : samples) {
    if (!series.empty()) series += ',';
    series += std::to_string(sample.TotalPssKb() / 1024);
  }
  return series;
}

// One play every few seconds, alternating between items, once the first plays have warmed the
// caches. Memory is read after every play, and each span of twenty plays (each play in a short
// session) keeps its least: a single reading may catch a video's buffers full or the script
// engine's garbage not yet collected; what is kept for good raises the least too.
std::string LongSession() {
  Program program;
  if (!BriefRun()) program.WaitForExtras();
  const int plays = PlaysWanted();
  const int warmUp = plays > 40 ? 20 : plays / 2;
  const int every = plays > 40 ? 20 : 1;
  const auto gap = std::chrono::milliseconds(BriefRun() ? 1000 : 2500);
  std::vector<Sample> samples;
  Sample least;
  WebView& portal = program.App().MainWindow()->PortalView();
  for (int play = 1; play <= plays; ++play) {
    portal.Navigate(kOtherPlayLinks[play % std::size(kOtherPlayLinks)]);
    PumpFor(gap);
    if (play < warmUp) continue;
    Sample sample{play, PssByProcess(getpid()), CountHandles(getpid())};
    if (least.pssKb.empty() || sample.TotalPssKb() < least.TotalPssKb()) least = sample;
    if ((play - warmUp) % every == every - 1) {
      samples.push_back({play, least.pssKb, least.handles});
      least = {};
    }
  }
  const Sample& first = samples.front();
  const Sample& last = samples.back();
  std::ostringstream figures;
  figures << "plays=" << plays << " pss_first_kb=" << first.TotalPssKb()
          << " pss_last_kb=" << last.TotalPssKb()
          << " pss_growth_kb_per_100=" << PssGrowthPer100(samples)
          << " grew_most=" << GrewMost(first, last) << " pss_mb=" << PssSeries(samples)
          << " fds_first=" << first.handles.fds << " fds_last=" << last.handles.fds
          << " threads_first=" << first.handles.threads << " threads_last=" << last.handles.threads
          << " from_play=" << first.plays << " requests=" << program.Server().RequestLog().size()
          << " player_pages=" << PlayerPagesServed(program.Server());
  return figures.str();
}

std::string Measure(std::string_view mode, std::string_view variant) {
  bool program = variant == "program";
  if (!program && variant != "floor") throw std::runtime_error("variant is program or floor");
  if (mode == "first-frame") return program ? ProgramFirstFrame() : FloorFirstFrame();
  if (mode == "playback") return program ? ProgramPlayback() : FloorPlayback();
  if (mode == "long-session" && program) return LongSession();
  throw std::runtime_error("no such benchmark");
}

}  // namespace
}  // namespace lumora::bench

int main(int argc, char** argv) {
  std::string variant = argc > 2 ? argv[2] : "";
  std::string mode = argc > 1 ? argv[1] : "";
  std::string name = mode == "long-session" ? mode : variant;
  return lumora::bench::ReportErrors(name.c_str(), [&] {
    std::cout << name << " " << lumora::bench::Measure(mode, variant) << std::endl;
    return 0;
  });
}
