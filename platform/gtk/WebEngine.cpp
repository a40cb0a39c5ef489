#include "platform/gtk/WebEngine.h"

#include <vector>

namespace lumora::gtk {
namespace {

WebKitSettings* NewSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_default_charset(settings, "GBK");
  // window.open must reach the view's policy decision, where it becomes a new-window request.
  webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
  return settings;
}

// The views alive in the process, in the order they were made.
std::vector<WebKitWebView*>& LiveViews() {
  static std::vector<WebKitWebView*> views;
  return views;
}

void ForgetView(GtkWidget* view, gpointer) {
  std::erase(LiveViews(), WEBKIT_WEB_VIEW(view));
}

WebKitWebView* NewUnrelatedView() {
  GObjectPtr<WebKitSettings> settings(NewSettings());
  return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(),
                                      "settings", settings.get(), nullptr));
}

}  // namespace

WebKitWebContext* SharedWebContext() {
  static WebKitWebContext* const context = [] {
    WebKitWebContext* created = webkit_web_context_new();
    webkit_web_context_set_sandbox_enabled(created, TRUE);
    return created;
  }();
  return context;
}

GtkWidget* WebViewGroup::NewView() {
  std::vector<WebKitWebView*>& live = LiveViews();
  WebKitWebView* view = live.empty()
                            ? NewUnrelatedView()
                            : WEBKIT_WEB_VIEW(webkit_web_view_new_with_related_view(live.front()));
  live.push_back(view);
  // A view being destroyed can no longer be related to.
  g_signal_connect(view, "destroy", G_CALLBACK(ForgetView), nullptr);
  return GTK_WIDGET(view);
}

}  // namespace lumora::gtk
