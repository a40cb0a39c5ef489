#include "platform/gtk/WebViewControl.h"

#include <libsoup/soup.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/Raise.h"
#include "platform/gtk/AddressKey.h"

namespace lumora::gtk {
namespace {

// Approved loads whose policy decisions are still to come: a few at most, older ones were
// superseded.
constexpr std::size_t kMaxApprovals = 8;
constexpr const char* kBlankAddress = "about:blank";
// However often a page asks, at most one new window a second reaches the program.
constexpr std::chrono::seconds kNewWindowInterval{1};

std::string RequestAddress(WebKitNavigationAction* action) {
  const char* address = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  return address ? address : "";
}

// The errors our own ignore, stop or new load cause: the page just stays as it is.
bool IsInterruption(const GError* error) {
  return g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
         g_error_matches(error, WEBKIT_POLICY_ERROR,
                         WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
}

// Whether the server asks for the response to be saved rather than shown, as the engine reads
// the header: its type before any parameters.
bool IsAttachment(WebKitURIResponse* response) {
  SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
  const char* disposition =
      headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
  if (!disposition) return false;
  std::string_view type(disposition);
  type = type.substr(0, type.find(';'));
  g_autofree char* stripped = g_strstrip(g_strndup(type.data(), type.size()));
  return g_ascii_strcasecmp(stripped, "attachment") == 0;
}

// Gives the engine's view the whole of its place, and shows nothing of its own.
GtkWidget* NewHolder() {
  GtkWidget* holder = gtk_event_box_new();
  gtk_event_box_set_visible_window(GTK_EVENT_BOX(holder), FALSE);
  return holder;
}

std::string LocalPathToUri(const std::string& address) {
  if (!g_path_is_absolute(address.c_str())) return address;
  g_autofree char* uri = g_filename_to_uri(address.c_str(), nullptr, nullptr);
  return uri ? uri : address;
}

}  // namespace

WebViewControl::WebViewControl(GtkWidget* parentBoard, WebViewGroup& group)
    : WidgetControl<WebView>(parentBoard, NewHolder()), group_(group) {
  // The engine's view goes with its holder.
  g_signal_connect(Widget(), "destroy", G_CALLBACK(OnDestroy), this);
}

WebKitWebView* WebViewControl::View() {
  if (!view_) MakeView();
  return view_;
}

void WebViewControl::MakeView() {
  GtkWidget* widget = group_.NewView();
  view_ = WEBKIT_WEB_VIEW(widget);
  WebKitWebView* view = view_;
  g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(view, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(view, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
  g_signal_connect(view, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnWebProcessEnded), this);
  gtk_container_add(GTK_CONTAINER(Widget()), widget);
  gtk_widget_show(widget);
  BoardMarkOpaque(Widget());
}

WebViewControl::~WebViewControl() {
  StopStallWatch();
  if (reloadAfterProcessEnd_ != 0) g_source_remove(reloadAfterProcessEnd_);
  ForgetMainResource();
  g_signal_handlers_disconnect_by_data(Widget(), this);
  if (view_ && !destroyed_) g_signal_handlers_disconnect_by_data(view_, this);
}

void WebViewControl::WatchForStall() {
  StopStallWatch();
  stallWatch_ = g_timeout_add(static_cast<guint>(stallLimit_.count()), OnStalled, this);
}

void WebViewControl::StopStallWatch() {
  if (stallWatch_ != 0) g_source_remove(std::exchange(stallWatch_, 0));
}

void WebViewControl::WatchMainResource() {
  ForgetMainResource();
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
  if (!resource) return;
  mainResource_.reset(WEBKIT_WEB_RESOURCE(g_object_ref(resource)));
  g_signal_connect(resource, "finished", G_CALLBACK(OnMainResourceFinished), this);
  // A document cut off on its way is a failed load, which its own event reports.
  g_signal_connect_swapped(resource, "failed",
                           G_CALLBACK(+[](WebViewControl* self) { self->ForgetMainResource(); }),
                           this);
}

void WebViewControl::ForgetMainResource() {
  if (!mainResource_) return;
  g_signal_handlers_disconnect_by_data(mainResource_.get(), this);
  mainResource_.reset();
}

void WebViewControl::RaiseDownloadComplete() {
  if (std::exchange(downloadCompleteRaised_, true)) return;
  Raise(onDownloadComplete);
}

void WebViewControl::OnMainResourceFinished(WebKitWebResource*, gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  self->ForgetMainResource();
  self->RaiseDownloadComplete();
}

// A server that accepts and then sends nothing of the page (or only its head) would leave the
// view loading for ever; as the system's web control did, such a load fails as a navigation
// error once it has received nothing for the stall limit.
gboolean WebViewControl::OnStalled(gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  self->stallWatch_ = 0;
  self->stalled_ = true;
  webkit_web_view_stop_loading(self->view_);
  return G_SOURCE_REMOVE;
}

void WebViewControl::Navigate(const std::string& address) {
  if (destroyed_) return;
  std::weak_ptr<char> alive = alive_;
  bool cancel = false;
  Raise(onBeforeNavigate2, address, cancel);
  if (cancel || alive.expired() || destroyed_) return;
  LoadApproved(address);
}

void WebViewControl::LoadApproved(const std::string& address) {
  writtenDocument_.clear();
  Approve(address);
  lastAddress_ = address;
  webkit_web_view_load_uri(View(), address.c_str());
}

void WebViewControl::Navigate2(const std::string& address) {
  Navigate(LocalPathToUri(address));
}

void WebViewControl::Refresh() {
  if (destroyed_) return;
  Approve(CurrentAddress());
  webkit_web_view_reload(View());
}

bool WebViewControl::GoBack() {
  if (destroyed_ || !view_ || !webkit_web_view_can_go_back(view_)) return false;
  webkit_web_view_go_back(View());
  return true;
}

bool WebViewControl::GoForward() {
  if (destroyed_ || !view_ || !webkit_web_view_can_go_forward(view_)) return false;
  webkit_web_view_go_forward(View());
  return true;
}

void WebViewControl::CopySelection() {
  if (!destroyed_) webkit_web_view_execute_editing_command(View(), WEBKIT_EDITING_COMMAND_COPY);
}

void WebViewControl::Paste() {
  if (!destroyed_) webkit_web_view_execute_editing_command(View(), WEBKIT_EDITING_COMMAND_PASTE);
}

void WebViewControl::WriteDocument(const std::string& html) {
  if (destroyed_) return;
  Approve(kBlankAddress);
  writtenDocument_ = html;
  webkit_web_view_load_html(View(), html.c_str(), kBlankAddress);
}

std::string WebViewControl::CurrentAddress() const {
  const char* address = destroyed_ || !view_ ? nullptr : webkit_web_view_get_uri(view_);
  return address ? address : "";
}

namespace {

// Measures before it changes the style, so a margin counts in the size it reports.
constexpr const char* kFitBodyScript = R"(
  (function () {
    const body = document.body;
    if (!body) return "";
    const size = body.scrollWidth + " " + body.scrollHeight;
    body.style.border = "0px";
    body.style.overflow = "hidden";
    body.style.margin = "0px";
    return size;
  })())";

struct FitRequest {
  std::weak_ptr<char> alive;
  std::function<void(Size)> onMeasured;
};

}  // namespace

void WebViewControl::FitPageBody(std::function<void(Size)> onMeasured) {
  if (destroyed_) return;
  auto* request = new FitRequest{alive_, std::move(onMeasured)};
  webkit_web_view_evaluate_javascript(View(), kFitBodyScript, -1, nullptr, nullptr, nullptr,
                                      OnBodyFitted, request);
}

void WebViewControl::OnBodyFitted(GObject* view, GAsyncResult* result, gpointer data) {
  std::unique_ptr<FitRequest> request(static_cast<FitRequest*>(data));
  GObjectPtr<JSCValue> value(
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr));
  if (!value || !jsc_value_is_string(value.get()) || request->alive.expired()) return;
  g_autofree char* text = jsc_value_to_string(value.get());
  Size size;
  if (std::sscanf(text, "%d %d", &size.width, &size.height) == 2) request->onMeasured(size);
}

void WebViewControl::Approve(const std::string& address) {
  approved_.push_back(AddressKey(address));
  if (approved_.size() > kMaxApprovals) approved_.pop_front();
}

bool WebViewControl::TakeApproval(const std::string& address) {
  auto it = std::find(approved_.begin(), approved_.end(), AddressKey(address));
  if (it == approved_.end()) return false;
  // Loads approved before this one were superseded by it.
  approved_.erase(approved_.begin(), it + 1);
  return true;
}

bool WebViewControl::DecideNavigation(WebKitNavigationPolicyDecision* decision) {
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(decision);
  std::string address = RequestAddress(action);
  if (webkit_navigation_action_is_redirect(action) || TakeApproval(address)) return false;
  // The handler may destroy this control; the decision lives on until the signal returns.
  WebKitPolicyDecision* policy = WEBKIT_POLICY_DECISION(decision);
  bool cancel = false;
  Raise(onBeforeNavigate2, address, cancel);
  if (cancel) {
    webkit_policy_decision_ignore(policy);
  } else {
    webkit_policy_decision_use(policy);
  }
  return true;
}

void WebViewControl::DecideNewWindow(WebKitNavigationPolicyDecision* decision) {
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(decision);
  std::string address = RequestAddress(action);
  webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
  AskForNewWindow(address);
}

bool WebViewControl::MayOpenNewWindow() {
  auto now = std::chrono::steady_clock::now();
  if (lastNewWindow_ && now - *lastNewWindow_ < kNewWindowInterval) return false;
  lastNewWindow_ = now;
  return true;
}

void WebViewControl::AskForNewWindow(const std::string& address) {
  if (MayOpenNewWindow()) Raise(onNewWindow2, address);
}

void WebViewControl::DecideResponse(WebKitResponsePolicyDecision* decision) {
  WebKitURIResponse* response = webkit_response_policy_decision_get_response(decision);
  bool showable =
      webkit_response_policy_decision_is_mime_type_supported(decision) && !IsAttachment(response);
  // What the view cannot show is not saved either: the engine's choice would be a download.
  if (showable) {
    webkit_policy_decision_use(WEBKIT_POLICY_DECISION(decision));
  } else {
    webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
  }
  if (!webkit_response_policy_decision_is_main_frame_main_resource(decision)) return;
  if (showable && webkit_uri_response_get_status_code(response) < 400) return;
  const char* address =
      webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(decision));
  Raise(onNavigateError, std::string(address ? address : ""));
}

gboolean WebViewControl::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
      return self->DecideNavigation(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
      self->DecideNewWindow(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      return TRUE;
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
      self->DecideResponse(WEBKIT_RESPONSE_POLICY_DECISION(decision));
      return TRUE;
  }
  return FALSE;
}

void WebViewControl::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  if (event == WEBKIT_LOAD_STARTED) {
    const char* address = webkit_web_view_get_uri(self->view_);
    self->lastAddress_ = address ? address : "";
    self->ForgetMainResource();
    self->downloadCompleteRaised_ = false;
    self->loadFailed_ = false;
    self->stalled_ = false;
    self->WatchForStall();
    Raise(self->onDownloadBegin);
  } else if (event == WEBKIT_LOAD_REDIRECTED) {
    self->WatchForStall();
  } else if (event == WEBKIT_LOAD_COMMITTED) {
    self->StopStallWatch();
    self->WatchMainResource();
    Raise(self->onNavigateComplete2);
  } else if (event == WEBKIT_LOAD_FINISHED) {
    self->StopStallWatch();
    self->ForgetMainResource();
    if (std::exchange(self->loadFailed_, false)) return;
    std::weak_ptr<char> alive = self->alive_;
    self->RaiseDownloadComplete();
    if (!alive.expired()) Raise(self->onDocumentComplete);
  }
}

gboolean WebViewControl::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* address,
                                      GError* error, gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  // The engine reports the end of a failed load once more as finished: that one is not raised.
  self->loadFailed_ = true;
  self->StopStallWatch();
  self->ForgetMainResource();
  std::weak_ptr<char> alive = self->alive_;
  if (std::exchange(self->stalled_, false) || !IsInterruption(error)) {
    Raise(self->onNavigateError, std::string(address ? address : ""));
  }
  if (!alive.expired()) self->RaiseDownloadComplete();
  // No engine error page: its load would be one more navigation the program never asked for.
  return TRUE;
}

GtkWidget* WebViewControl::OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
  static_cast<WebViewControl*>(data)->AskForNewWindow(RequestAddress(action));
  return nullptr;
}

gboolean WebViewControl::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
  if (!static_cast<WebViewControl*>(data)->silent_) return FALSE;
  // A silent view lets the page leave as if the user had confirmed it.
  if (webkit_script_dialog_get_dialog_type(dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
    webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
  }
  return TRUE;
}

gboolean WebViewControl::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event,
                                       WebKitHitTestResult*, gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  if (!self->onContextMenu) return FALSE;
  gdouble x = 0;
  gdouble y = 0;
  if (event) gdk_event_get_coords(event, &x, &y);
  auto handler = self->onContextMenu;
  bool showEngineMenu = Guarded(false, [&] {
    return handler(Point{static_cast<int>(x), static_cast<int>(y)});
  });
  return showEngineMenu ? FALSE : TRUE;
}

// The engine is still telling every view of the ended process; the new one starts afterwards.
void WebViewControl::OnWebProcessEnded(WebKitWebView*, WebKitWebProcessTerminationReason,
                                       gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  if (self->reloadAfterProcessEnd_ == 0) {
    self->reloadAfterProcessEnd_ = g_idle_add(OnReloadAfterProcessEnd, self);
  }
}

gboolean WebViewControl::OnReloadAfterProcessEnd(gpointer data) {
  auto* self = static_cast<WebViewControl*>(data);
  self->reloadAfterProcessEnd_ = 0;
  if (self->destroyed_ || self->loadsOnce_ || self->lastAddress_.empty()) return G_SOURCE_REMOVE;
  if (self->lastAddress_ == kBlankAddress && !self->writtenDocument_.empty()) {
    self->WriteDocument(std::string(self->writtenDocument_));
  } else {
    self->LoadApproved(self->lastAddress_);
  }
  return G_SOURCE_REMOVE;
}

void WebViewControl::OnDestroy(GtkWidget*, gpointer data) {
  static_cast<WebViewControl*>(data)->destroyed_ = true;
}

}  // namespace lumora::gtk
