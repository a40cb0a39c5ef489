#include "platform/gtk/GtkDesktop.h"

#include <gtk/gtk.h>

#include "platform/gtk/GtkInit.h"
#include "platform/gtk/GtkTopWindow.h"

namespace lumora::gtk {
namespace {

GdkMonitor* MainMonitor() {
  if (!EnsureGtk()) return nullptr;
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* primary = gdk_display_get_primary_monitor(display);
  return primary ? primary : gdk_display_get_monitor(display, 0);
}

GtkMessageType MessageTypeFor(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return GTK_MESSAGE_INFO;
    case MessageIcon::Question:
      return GTK_MESSAGE_QUESTION;
    case MessageIcon::Warning:
      return GTK_MESSAGE_WARNING;
    case MessageIcon::None:
      break;
  }
  return GTK_MESSAGE_OTHER;
}

MessageAnswer AnswerFor(gint response, MessageButtons buttons) {
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (response == GTK_RESPONSE_YES) return MessageAnswer::Yes;
  return response == GTK_RESPONSE_NO ? MessageAnswer::No : MessageAnswer::Dismissed;
}

// A URI as it stands, or the file URI of a local path.
std::string UriFor(const std::string& address) {
  if (g_uri_peek_scheme(address.c_str())) return address;
  GObjectPtr<GFile> file(g_file_new_for_commandline_arg(address.c_str()));
  g_autofree char* uri = g_file_get_uri(file.get());
  return uri;
}

// How long the end of the program waits for launches under way.
constexpr gint64 kLaunchGraceMicroseconds = 5 * G_USEC_PER_SEC;

void OnLaunched(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<int>> pending(static_cast<std::shared_ptr<int>*>(data));
  g_app_info_launch_default_for_uri_finish(result, nullptr);
  --**pending;
}

}  // namespace

GtkDesktop::~GtkDesktop() {
  gint64 end = g_get_monotonic_time() + kLaunchGraceMicroseconds;
  while (*pendingLaunches_ > 0 && g_get_monotonic_time() < end) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
}

Size GtkDesktop::ScreenSize() const {
  GdkMonitor* monitor = MainMonitor();
  if (!monitor) return {};
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  return {area.width, area.height};
}

int GtkDesktop::ScaleFactor() const {
  GdkMonitor* monitor = MainMonitor();
  return monitor ? gdk_monitor_get_scale_factor(monitor) : 1;
}

Rect GtkDesktop::WorkArea() const {
  GdkMonitor* monitor = MainMonitor();
  if (!monitor) return {};
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  return {area.x, area.y, area.width, area.height};
}

MessageAnswer GtkDesktop::ShowMessage(TopWindow* owner, const std::string& text,
                                      const std::string& title, MessageButtons buttons,
                                      MessageIcon icon) {
  if (!EnsureGtk()) return AnswerFor(GTK_RESPONSE_NONE, buttons);
  auto* parent = dynamic_cast<GtkTopWindow*>(owner);
  GtkWidget* dialog = gtk_message_dialog_new(
      parent && parent->IsShown() ? parent->Handle() : nullptr, GTK_DIALOG_MODAL,
      MessageTypeFor(icon), buttons == MessageButtons::YesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK,
      "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  if (buttons == MessageButtons::YesNo) {
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
    gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES));
  }
  openMessages_.push_back(dialog);
  gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  std::erase(openMessages_, dialog);
  gtk_widget_destroy(dialog);
  return AnswerFor(response, buttons);
}

void GtkDesktop::DismissMessages() {
  for (GtkWidget* dialog : std::vector<GtkWidget*>(openMessages_)) {
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
  }
}

void GtkDesktop::OpenAddress(const std::string& address) {
  std::string uri = UriFor(address);
  ++*pendingLaunches_;
  g_app_info_launch_default_for_uri_async(uri.c_str(), nullptr, nullptr, OnLaunched,
                                          new std::shared_ptr<int>(pendingLaunches_));
}

bool GtkDesktop::StartProcess(const std::string& path) {
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib detaches the child, so it leaves no zombie behind and
  // outlives this program; it starts in its own directory, as an updater expects.
  g_autofree char* directory = g_path_get_dirname(path.c_str());
  std::string program = path;
  char* argv[] = {program.data(), nullptr};
  return g_spawn_async(directory, argv, nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr,
                       nullptr);
}

}  // namespace lumora::gtk
