// The floor of the start-up benchmark: the least a program can do to show what the main
// window shows at start-up. One undecorated window of the main window's size holding nine
// web views of one shared context, related to the first, opening the same start pages in the
// same order against the same in-process demo server, measured like the program.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ReportErrors.h"
#include "bench/StartupProbe.h"
#include "content/HistoryPage.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::bench {
namespace {

constexpr int kWindowWidth = 990;
constexpr int kWindowHeight = 655;
constexpr const char* kDarkPage =
    "<html><head><style>*{margin:0;padding:0}body{background:#212121}</style></head>"
    "<body></body></html>";

// Where a view sits in the window. At start-up only the portal's page and the one-pixel usage
// ping view are showing; the views on the other pages exist but are not mapped. (The program
// uncovers the portal view once it has loaded; the floor shows it at once.)
struct ViewPlace {
  int x;
  int y;
  int width;
  int height;
  bool shown;
};

// In the order of kStartPageViews, at the main window's default size.
constexpr ViewPlace kPlaces[] = {
    {5, 39, 980, 582, true},     // portal
    {5, 39, 778, 582, false},    // video player
    {779, 67, 206, 529, false},  // history page
    {779, 67, 206, 529, false},  // item information
    {0, 0, 1, 1, true},          // usage ping: a pixel on the window itself
    {258, 300, 472, 64, false},  // ad banner
    {5, 39, 980, 582, false},    // shopping page
    {779, 39, 206, 582, false},  // TV channel list
    {5, 39, 778, 582, false},    // TV player
};
static_assert(std::size(kPlaces) == kStartPageViews.size());

struct WidgetDestroy {
  void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using WindowPtr = std::unique_ptr<GtkWidget, WidgetDestroy>;

// What a load-changed handler needs to report its view.
struct ViewWatch {
  StartupProbe* probe;
  std::size_t view;
};

WebKitWebContext* NewSandboxedContext() {
  WebKitWebContext* context = webkit_web_context_new();
  webkit_web_context_set_sandbox_enabled(context, TRUE);
  return context;
}

GtkWidget* NewFirstView(WebKitWebContext* context) {
  g_autoptr(WebKitSettings) settings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_default_charset(settings, "GBK");
  return GTK_WIDGET(
      g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings", settings, nullptr));
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  // A failed load ends with a finished event too.
  if (event != WEBKIT_LOAD_FINISHED) return;
  auto* watch = static_cast<ViewWatch*>(data);
  watch->probe->ViewFinished(watch->view);
}

void WatchLoads(WebKitWebView* view, StartupProbe& probe, std::size_t index) {
  g_signal_connect_data(
      view, "load-changed", G_CALLBACK(OnLoadChanged), new ViewWatch{&probe, index},
      [](gpointer watch, GClosure*) { delete static_cast<ViewWatch*>(watch); }, GConnectFlags{});
}

// The nine views placed in the layout, in start order.
std::vector<WebKitWebView*> AddViews(GtkLayout* layout, WebKitWebContext* context,
                                     StartupProbe& probe) {
  std::vector<WebKitWebView*> views;
  for (const ViewPlace& place : kPlaces) {
    GtkWidget* view = views.empty() ? NewFirstView(context)
                                    : webkit_web_view_new_with_related_view(views.front());
    gtk_widget_set_size_request(view, place.width, place.height);
    gtk_layout_put(layout, view, place.x, place.y);
    if (place.shown) gtk_widget_show(view);
    WatchLoads(WEBKIT_WEB_VIEW(view), probe, views.size());
    views.push_back(WEBKIT_WEB_VIEW(view));
  }
  return views;
}

std::string FileUri(const std::filesystem::path& path) {
  g_autofree char* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  return uri;
}

// The history page of an empty play list, as the program writes it at its first start.
std::filesystem::path WriteHistoryPage(const std::filesystem::path& dir) {
  std::filesystem::path page = dir / kHistoryPageFile;
  WriteFileAtomically(page, Utf8ToGbk(RenderHistoryPage({})));
  return page;
}

void OpenStartPages(const std::vector<WebKitWebView*>& views, const std::string& base,
                    const std::filesystem::path& historyPage) {
  const std::string pages[] = {base,
                               "about:blank",
                               FileUri(historyPage),
                               "about:blank",
                               base + "tj/tj.asp?id=bench",
                               base + "js/ads/bo.html",
                               base + "js/ads/tao.html",
                               base + "tv/list.htm",
                               base + "tv/ad.htm"};
  for (std::size_t index = 0; index < views.size(); ++index) {
    webkit_web_view_load_uri(views[index], pages[index].c_str());
  }
  // The item information view gets its dark empty document over the blank page.
  webkit_web_view_load_html(views[3], kDarkPage, "about:blank");
}

int Run(StartupProbe& probe) {
  test::TempDir dir;
  DemoServer server(LUMORA_BENCH_SITE_DIR);
  server.Start(0);
  if (!gtk_init_check(nullptr, nullptr)) throw std::runtime_error("no display");
  g_autoptr(WebKitWebContext) context = NewSandboxedContext();
  WindowPtr window(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  gtk_window_set_decorated(GTK_WINDOW(window.get()), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window.get()), kWindowWidth, kWindowHeight);
  gtk_window_set_position(GTK_WINDOW(window.get()), GTK_WIN_POS_CENTER);
  GtkWidget* layout = gtk_layout_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(window.get()), layout);
  std::vector<WebKitWebView*> views = AddViews(GTK_LAYOUT(layout), context, probe);
  OpenStartPages(views, server.BaseUrl(), WriteHistoryPage(dir.Path()));
  gtk_widget_show(layout);
  gtk_widget_show(window.get());
  probe.WatchToplevels();
  g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
  probe.onDone = [&loop] { g_main_loop_quit(loop); };
  g_main_loop_run(loop);
  probe.AddFigure("requests", static_cast<long>(server.RequestLog().size()));
  return probe.Report(std::cout) ? 0 : 1;
}

}  // namespace
}  // namespace lumora::bench

int main() {
  lumora::bench::StartupProbe probe("floor");
  return lumora::bench::ReportErrors("floor", [&probe] { return lumora::bench::Run(probe); });
}
