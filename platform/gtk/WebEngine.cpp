#include "platform/gtk/WebEngine.h"

namespace lumora::gtk {
namespace {

WebKitSettings* NewSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_default_charset(settings, "GBK");
  // The engine blocks window.open unless the user's click is being handled.
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
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
  GtkWidget* view = nullptr;
  if (!views_.empty()) {
    view = webkit_web_view_new_with_related_view(WEBKIT_WEB_VIEW(views_.front()));
  } else {
    GObjectPtr<WebKitSettings> settings(NewSettings());
    view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(),
                                   "settings", settings.get(), nullptr));
  }
  views_.push_back(view);
  g_signal_connect(view, "destroy", G_CALLBACK(OnViewDestroyed), this);
  return view;
}

void WebViewGroup::OnViewDestroyed(GtkWidget* view, gpointer group) {
  std::vector<GtkWidget*>& views = static_cast<WebViewGroup*>(group)->views_;
  std::erase(views, view);
}

WebViewGroup& SharedWebViews() {
  static WebViewGroup* const group = new WebViewGroup;
  return *group;
}

}  // namespace lumora::gtk
