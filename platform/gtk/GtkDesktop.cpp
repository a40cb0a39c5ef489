#include "platform/gtk/GtkDesktop.h"

#include <gtk/gtk.h>

#include <algorithm>

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

// A server's text can be of any length: a box shows its start, wrapped, and scrolls where it is
// taller than half the work area, so the box stays on the screen and is laid out at once.
constexpr std::size_t kMaxShownBytes = 4000;
constexpr int kMaxLineChars = 60;

std::string ShownText(const std::string& text) {
  if (text.size() <= kMaxShownBytes) return text;
  // Cut before the character the limit falls in, never inside one.
  const char* end = g_utf8_find_prev_char(text.data(), text.data() + kMaxShownBytes + 1);
  return std::string(text.data(), end ? end : text.data()) + "\u2026";
}

GtkWidget* NewMessageText(const std::string& text, int maxHeight) {
  std::string shown = ShownText(text);
  GtkWidget* label = gtk_label_new(shown.c_str());
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), kMaxLineChars);
  // A width of its own spares the label from searching for one, which takes seconds on a long
  // text without spaces.
  glong characters = g_utf8_strlen(shown.c_str(), -1);
  gtk_label_set_width_chars(GTK_LABEL(label),
                            static_cast<gint>(std::min<glong>(characters, kMaxLineChars)));
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_yalign(GTK_LABEL(label), 0);
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(scroller);
  gtk_scrolled_window_set_policy(scrolled, GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_propagate_natural_width(scrolled, TRUE);
  gtk_scrolled_window_set_propagate_natural_height(scrolled, TRUE);
  gtk_scrolled_window_set_max_content_height(scrolled, maxHeight);
  gtk_container_add(GTK_CONTAINER(scroller), label);
  gtk_widget_show_all(scroller);
  return scroller;
}

// The dialog's own labels grow with their text; the text goes into a scroller instead.
void SetMessageText(GtkMessageDialog* dialog, const std::string& text, int maxHeight) {
  GtkWidget* area = gtk_message_dialog_get_message_area(dialog);
  gtk_container_foreach(
      GTK_CONTAINER(area), [](GtkWidget* label, gpointer) { gtk_widget_hide(label); }, nullptr);
  gtk_box_pack_start(GTK_BOX(area), NewMessageText(text, maxHeight), TRUE, TRUE, 0);
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

// Launches in the user's environment, without what this process set for itself.
GAppLaunchContext* NewLaunchContext() {
  GAppLaunchContext* context = g_app_launch_context_new();
  for (const char* name : OwnEnvironmentVariables()) g_app_launch_context_unsetenv(context, name);
  return context;
}

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
      nullptr);
  SetMessageText(GTK_MESSAGE_DIALOG(dialog), text, WorkArea().height / 2);
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
  GObjectPtr<GAppLaunchContext> context(NewLaunchContext());
  g_app_info_launch_default_for_uri_async(uri.c_str(), context.get(), nullptr, OnLaunched,
                                          new std::shared_ptr<int>(pendingLaunches_));
}

bool GtkDesktop::StartProcess(const std::string& path) {
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib detaches the child, so it leaves no zombie behind and
  // outlives this program; it starts in its own directory, as an updater expects.
  g_autofree char* directory = g_path_get_dirname(path.c_str());
  std::string program = path;
  char* argv[] = {program.data(), nullptr};
  g_auto(GStrv) environment = g_get_environ();
  for (const char* name : OwnEnvironmentVariables()) {
    environment = g_environ_unsetenv(environment, name);
  }
  return g_spawn_async(directory, argv, environment, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr,
                       nullptr);
}

}  // namespace lumora::gtk
