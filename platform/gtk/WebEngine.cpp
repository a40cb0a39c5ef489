#include "platform/gtk/WebEngine.h"

#include <stdexcept>
#include <utility>

#include "platform/gtk/TextFieldFocus.h"

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
  WatchTextFieldFocus(WEBKIT_WEB_VIEW(view));
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
