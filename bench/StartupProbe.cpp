#include "bench/StartupProbe.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <iomanip>
#include <string_view>

namespace lumora::bench {
namespace {

// The launch time the launcher handed in, if any.
std::optional<std::chrono::system_clock::time_point> LaunchFromEnvironment() {
  const char* text = std::getenv("LUMORA_BENCH_LAUNCHED_AT");
  if (!text) return std::nullopt;
  std::string_view value(text);
  long long nanoseconds = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), nanoseconds);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::nanoseconds(nanoseconds)));
}

}  // namespace

void OneShotTimeout::Start(std::chrono::milliseconds delay, std::function<void()> action) {
  Cancel();
  action_ = std::move(action);
  id_ = g_timeout_add(static_cast<guint>(delay.count()), Fire, this);
}

void OneShotTimeout::Cancel() {
  if (id_ != 0) g_source_remove(id_);
  id_ = 0;
}

gboolean OneShotTimeout::Fire(gpointer data) {
  auto* self = static_cast<OneShotTimeout*>(data);
  self->id_ = 0;
  // The action may start this timeout again, which replaces action_: run a copy.
  std::function<void()> action = self->action_;
  action();
  return G_SOURCE_REMOVE;
}

StartupProbe::StartupProbe(std::string variant) : variant_(std::move(variant)) {
  std::optional<Clock::time_point> launched = LaunchFromEnvironment();
  launchFromLauncher_ = launched.has_value();
  launched_ = launched.value_or(Clock::now());
  portalPaint_.onSeen = [this] { portalPaintMs_ = MillisecondsSinceLaunch(); };
  deadline_.Start(kDeadline, [this] { Finish(); });
}

StartupProbe::~StartupProbe() {
  StopWatchingMaps();
}

void StartupProbe::WatchToplevels() {
  g_autoptr(GList) toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item; item = item->next) {
    GtkWidget* window = GTK_WIDGET(item->data);
    if (gtk_window_get_window_type(GTK_WINDOW(window)) != GTK_WINDOW_TOPLEVEL) continue;
    g_signal_connect(window, "map-event", G_CALLBACK(OnMapEvent), this);
    if (gtk_widget_get_visible(window)) portalPaint_.Watch(window);
    watchedWindows_.emplace_back(GTK_WIDGET(g_object_ref(window)));
  }
}

gboolean StartupProbe::OnMapEvent(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<StartupProbe*>(data);
  self->mappedMs_ = self->MillisecondsSinceLaunch();
  self->StopWatchingMaps();
  return GDK_EVENT_PROPAGATE;
}

void StartupProbe::StopWatchingMaps() {
  for (const auto& window : watchedWindows_) {
    g_signal_handlers_disconnect_by_data(window.get(), this);
  }
  watchedWindows_.clear();
}

void StartupProbe::ViewFinished(std::size_t view) {
  if (!tally_.MarkFinished(view) || !tally_.AllFinished()) return;
  loadedMs_ = MillisecondsSinceLaunch();
  settle_.Start(kSettle, [this] { MeasureMemory(); });
}

void StartupProbe::MeasureMemory() {
  memory_ = MeasureTree(getpid());
  Finish();
}

void StartupProbe::Finish() {
  settle_.Cancel();
  deadline_.Cancel();
  if (onDone) onDone();
}

double StartupProbe::MillisecondsSinceLaunch() const {
  return std::chrono::duration<double, std::milli>(Clock::now() - launched_).count();
}

std::string StartupProbe::Problem() const {
  if (!tally_.AllFinished()) {
    std::string views;
    for (std::size_t view : tally_.Unfinished()) views += std::string(" ") + kStartPageViews[view];
    return "start pages not finished within the deadline:" + views;
  }
  if (!mappedMs_) return "the main window was never mapped";
  if (!portalPaintMs_) return "the portal page's title was never on screen";
  if (!memory_) return "memory was not measured";
  return {};
}

bool StartupProbe::Report(std::ostream& out) const {
  if (std::string problem = Problem(); !problem.empty()) {
    out << variant_ << " error: " << problem << "\n";
    return false;
  }
  out << variant_ << std::fixed << std::setprecision(1) << " mapped_ms=" << *mappedMs_
      << " portal_paint_ms=" << *portalPaintMs_ << " loaded_ms=" << *loadedMs_
      << " pss_kb=" << memory_->pssKb << " processes=" << memory_->processes
      << " unreadable=" << memory_->unreadable;
  for (const auto& [name, value] : figures_) out << " " << name << "=" << value;
  out << " from=" << (launchFromLauncher_ ? "launch" : "main") << "\n";
  return true;
}

}  // namespace lumora::bench
