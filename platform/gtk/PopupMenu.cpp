#include "platform/gtk/PopupMenu.h"

#include <memory>
#include <utility>

#include "platform/Raise.h"
#include "platform/gtk/GtkTopWindow.h"

namespace lumora::gtk {
namespace {

struct EventFree {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};
using EventPtr = std::unique_ptr<GdkEvent, EventFree>;

// The event a popup answers: the one being handled, or, when the call comes from outside GTK's
// event handling (a D-Bus call, the web engine's context menu), a press made up at the pointer
// on the root window, so GTK knows where the pointer is and which device to grab.
EventPtr TriggerEvent() {
  EventPtr current(gtk_get_current_event());
  if (current && gdk_event_get_window(current.get())) return current;
  EventPtr madeUp(gdk_event_new(GDK_BUTTON_PRESS));
  madeUp->button.window = GDK_WINDOW(g_object_ref(gdk_get_default_root_window()));
  madeUp->button.time = GDK_CURRENT_TIME;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  gdk_event_set_device(madeUp.get(), gdk_seat_get_pointer(seat));
  return madeUp;
}

void RunCommand(GtkMenuItem*, gpointer command) {
  Raise(*static_cast<std::function<void()>*>(command));
}

}  // namespace

PopupMenu::PopupMenu() : menu_(GTK_WIDGET(g_object_ref_sink(gtk_menu_new()))) {}

PopupMenu::~PopupMenu() {
  gtk_widget_destroy(menu_.get());
}

void PopupMenu::AddItem(const std::string& caption, std::function<void()> command) {
  GtkWidget* item = gtk_menu_item_new_with_label(caption.c_str());
  // The command lives as long as its item, also when a command destroys this menu.
  g_signal_connect_data(
      item, "activate", G_CALLBACK(RunCommand), new std::function<void()>(std::move(command)),
      [](gpointer command, GClosure*) { delete static_cast<std::function<void()>*>(command); },
      GConnectFlags(0));
  Append(item);
}

void PopupMenu::AddSeparator() {
  Append(gtk_separator_menu_item_new());
}

void PopupMenu::PopupAt(TopWindow& owner, Point windowPosition) {
  GdkWindow* window =
      gtk_widget_get_window(GTK_WIDGET(dynamic_cast<GtkTopWindow&>(owner).Handle()));
  if (!window || !gdk_window_is_viewable(window)) return;
  GdkRectangle at{windowPosition.x, windowPosition.y, 1, 1};
  gtk_menu_popup_at_rect(Handle(), window, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                         TriggerEvent().get());
}

void PopupMenu::PopupAtPointer(TopWindow&) {
  gtk_menu_popup_at_pointer(Handle(), TriggerEvent().get());
}

void PopupMenu::Append(GtkWidget* item) {
  gtk_widget_show(item);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu_.get()), item);
}

}  // namespace lumora::gtk
