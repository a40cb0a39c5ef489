#include "platform/gtk/WebEngine.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>

namespace lumora::gtk {
namespace {

WebKitSettings* NewSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_default_charset(settings, "GBK");
  // A page left is not kept alive for going back: a player page kept so holds on to its video's
  // buffers, tens of megabytes for each one played. Only the portal can go back; it loads again.
  webkit_settings_set_enable_page_cache(settings, FALSE);
  // The engine blocks window.open unless the user's click is being handled.
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  return settings;
}

// The script world of the program's own scripts, which the pages cannot reach.
constexpr const char* kProgramScriptWorld = "lumora";

// How long every view must have been idle, so that what follows never competes with a page.
constexpr guint kIdleMs = 500;
// How long a question to the web process may wait before the process counts as hung, far longer
// than any page's task; and how soon after ending one hung process the next may be ended.
constexpr std::chrono::milliseconds kHangLimit{6000};
constexpr std::chrono::minutes kHangEndsApart{1};

// One black 16x16 frame of VP8 in WebM, 297 bytes: gst-launch-1.0 videotestsrc pattern=black
// num-buffers=1 ! video/x-raw,width=16,height=16,framerate=1/1 ! vp8enc ! webmmux
// streamable=true ! filesink.
constexpr const char* kWarmUpVideo =
    "GkXfowEAAAAAAAAQQoKFd2VibQBCh4ECQoWBAhhTgGcB/////////xVJqWYBAAAAAAAAVirXsYMPQkBNgKVHU3RyZWFt"
    "ZXIgbWF0cm9za2FtdXggdmVyc2lvbiAxLjIyLjAAV0GZR1N0cmVhbWVyIE1hdHJvc2thIG11eGVyAERhiAtbtXs1gaog"
    "FlSuawEAAAAAAABfrgEAAAAAAABW14EBg4EBc8WI5eepDCda+FUj44OEO5rKAFNuhlZpZGVvAOABAAAAAAAAI7CBELqB"
    "EJqBAlWwAQAAAAAAABBVuYEBVbGBBlW6gQZVu4EGhoZWX1ZQOAAfQ7Z1Af/////////ngQCjo4EAAIAQAgCdASoQABAA"
    "AEcIhYWImYSIAgIADA1gAP7/q1CA";
// Plays that frame muted, in no document, then lets the player go. The web process then has what
// every video needs started and loaded (the media framework, the player's pipeline, type
// finding, the audio and video sinks), so the first video the user plays only adds its own
// demuxer and decoders: a tenth of a second sooner on screen.
std::string MediaWarmUpScript() {
  return std::string(R"(
    (function () {
      const video = document.createElement("video");
      const release = () => { video.removeAttribute("src"); video.load(); };
      video.muted = true;
      video.onended = video.onerror = release;
      video.src = "data:video/webm;base64,)") +
         kWarmUpVideo + R"(";
      video.play().catch(release);
    })())";
}

// Has the web process run the warm-up without reading its answer: the call is cancelled as it is
// made. Reading the answer would start a script engine in this process for it, which costs some
// megabytes for good.
void WarmUpMedia(WebKitWebView* view) {
  GObjectPtr<GCancellable> unanswered(g_cancellable_new());
  g_cancellable_cancel(unanswered.get());
  webkit_web_view_evaluate_javascript(view, MediaWarmUpScript().c_str(), -1, kProgramScriptWorld,
                                      nullptr, unanswered.get(), nullptr, nullptr);
}

struct ContextState {
  std::filesystem::path dataFolder;
  std::filesystem::path cacheFolder;
  bool created = false;
};

ContextState& Context() {
  static ContextState state;
  return state;
}

WebKitWebsiteDataManager* NewDataManager(const ContextState& state) {
  if (state.dataFolder.empty()) return webkit_website_data_manager_new_ephemeral();
  return webkit_website_data_manager_new("base-data-directory", state.dataFolder.c_str(),
                                         "base-cache-directory", state.cacheFolder.c_str(),
                                         nullptr);
}

// Pages never save files into the user's folders: a download is stopped before it has a place.
void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
  webkit_download_cancel(download);
}

}  // namespace

void UseWebDataFolders(std::filesystem::path data, std::filesystem::path cache) {
  if (Context().created) throw std::logic_error("web data folders given after the first view");
  bool bothEmpty = data.empty() && cache.empty();
  if (!bothEmpty && !(data.is_absolute() && cache.is_absolute())) {
    throw std::logic_error("web data folders must both be absolute");
  }
  Context().dataFolder = std::move(data);
  Context().cacheFolder = std::move(cache);
}

WebKitWebContext* SharedWebContext() {
  static WebKitWebContext* const context = [] {
    Context().created = true;
    GObjectPtr<WebKitWebsiteDataManager> manager(NewDataManager(Context()));
    WebKitWebContext* created = webkit_web_context_new_with_website_data_manager(manager.get());
    webkit_web_context_set_sandbox_enabled(created, TRUE);
    g_signal_connect(created, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
    return created;
  }();
  return context;
}

GtkWidget* WebViewGroup::NewView() {
  // The player page plays with sound as it opens: the user asked for the video with a click in
  // another view, which the engine does not count as a gesture on the player's page.
  GObjectPtr<WebKitWebsitePolicies> policies(
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr));
  GtkWidget* view = nullptr;
  if (!views_.empty()) {
    // As webkit_web_view_new_with_related_view makes it, with the policies added.
    WebKitWebView* related = WEBKIT_WEB_VIEW(views_.front());
    view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related, "settings",
                                   webkit_web_view_get_settings(related), "website-policies",
                                   policies.get(), nullptr));
  } else {
    GObjectPtr<WebKitSettings> settings(NewSettings());
    view =
        GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(), "settings",
                                settings.get(), "website-policies", policies.get(), nullptr));
  }
  views_.push_back(view);
  g_signal_connect(view, "destroy", G_CALLBACK(OnViewDestroyed), this);
  g_signal_connect(view, "notify::is-loading", G_CALLBACK(OnLoadingChanged), this);
  g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnWebProcessEnded), this);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnUserInput), this);
  g_signal_connect(view, "key-press-event", G_CALLBACK(OnUserInput), this);
  return view;
}

WebViewGroup::~WebViewGroup() {
  if (idleTimer_ != 0) g_source_remove(idleTimer_);
  if (hangCheckTimer_ != 0) g_source_remove(hangCheckTimer_);
  for (GtkWidget* view : views_) g_signal_handlers_disconnect_by_data(view, this);
}

void WebViewGroup::OnViewDestroyed(GtkWidget* view, gpointer group) {
  auto* self = static_cast<WebViewGroup*>(group);
  std::erase(self->views_, view);
  // The web process goes with the last view; the next one starts cold.
  if (self->views_.empty()) self->mediaWarmedUp_ = false;
}

void WebViewGroup::OnLoadingChanged(GObject*, GParamSpec*, gpointer group) {
  static_cast<WebViewGroup*>(group)->WaitForIdleViews();
}

void WebViewGroup::OnWebProcessEnded(WebKitWebView*, WebKitWebProcessTerminationReason,
                                     gpointer group) {
  static_cast<WebViewGroup*>(group)->mediaWarmedUp_ = false;
}

// Any change of a view's loading starts the idle moment again; a view still loading stops it.
void WebViewGroup::WaitForIdleViews() {
  if (idleTimer_ != 0) g_source_remove(std::exchange(idleTimer_, 0));
  bool loading = std::ranges::any_of(
      views_, [](GtkWidget* view) { return webkit_web_view_is_loading(WEBKIT_WEB_VIEW(view)); });
  if (!loading) idleTimer_ = g_timeout_add(kIdleMs, OnViewsIdle, this);
}

gboolean WebViewGroup::OnViewsIdle(gpointer group) {
  auto* self = static_cast<WebViewGroup*>(group);
  self->idleTimer_ = 0;
  malloc_trim(0);
  if (!self->views_.empty() && !std::exchange(self->mediaWarmedUp_, true)) {
    WarmUpMedia(WEBKIT_WEB_VIEW(self->views_.front()));
  }
  return G_SOURCE_REMOVE;
}

gboolean WebViewGroup::OnUserInput(GtkWidget*, GdkEvent*, gpointer group) {
  static_cast<WebViewGroup*>(group)->CheckForHang();
  return FALSE;
}

// Asks the process a question, unless one is on its way, and looks for the answer a little later.
void WebViewGroup::CheckForHang() {
  if (hangWatch_->unanswered || views_.empty()) return;
  AskWebProcess();
  // The limit counts from this question, not from an earlier one that was answered.
  if (hangCheckTimer_ != 0) g_source_remove(hangCheckTimer_);
  hangCheckTimer_ = g_timeout_add(static_cast<guint>(kHangLimit.count()), OnHangLimit, this);
}

gboolean WebViewGroup::OnHangLimit(gpointer group) {
  auto* self = static_cast<WebViewGroup*>(group);
  self->hangCheckTimer_ = 0;
  if (!std::exchange(self->hangWatch_->unanswered, false) || self->views_.empty()) {
    return G_SOURCE_REMOVE;
  }
  auto now = std::chrono::steady_clock::now();
  if (self->lastHangEnded_ && now - *self->lastHangEnded_ < kHangEndsApart) {
    return G_SOURCE_REMOVE;
  }
  self->lastHangEnded_ = now;
  webkit_web_view_terminate_web_process(WEBKIT_WEB_VIEW(self->views_.front()));
  return G_SOURCE_REMOVE;
}

// Whether Copy could run: the main thread of the web process answers, nothing more.
void WebViewGroup::AskWebProcess() {
  HangWatch& watch = *hangWatch_;
  watch.unanswered = true;
  auto* question = new HangQuestion{hangWatch_, ++watch.question};
  webkit_web_view_can_execute_editing_command(WEBKIT_WEB_VIEW(views_.front()),
                                              WEBKIT_EDITING_COMMAND_COPY, nullptr,
                                              OnWebProcessAnswered, question);
}

void WebViewGroup::OnWebProcessAnswered(GObject* view, GAsyncResult* result, gpointer data) {
  std::unique_ptr<HangQuestion> question(static_cast<HangQuestion*>(data));
  webkit_web_view_can_execute_editing_command_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
  std::shared_ptr<HangWatch> watch = question->watch.lock();
  if (watch && watch->question == question->number) watch->unanswered = false;
}

WebViewGroup& SharedWebViews() {
  static WebViewGroup* const group = new WebViewGroup;
  return *group;
}

}  // namespace lumora::gtk
