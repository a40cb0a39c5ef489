#include "platform/gtk/WebEngine.h"

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
  if (first_) return webkit_web_view_new_with_related_view(first_.get());
  GObjectPtr<WebKitSettings> settings(NewSettings());
  auto* view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(),
                                            "settings", settings.get(), nullptr));
  // The group keeps the first view for relating the later ones; the caller gets its own hold.
  first_.reset(WEBKIT_WEB_VIEW(g_object_ref_sink(view)));
  return GTK_WIDGET(view);
}

}  // namespace lumora::gtk
