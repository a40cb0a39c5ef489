#pragma once

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <string_view>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// A popup menu exported on the session bus as com.canonical.dbusmenu, for tray hosts that show
// only menus an item exports. The items are read from the GtkMenu whenever the host asks, so the
// export always shows the menu as it is; item n (from 1) is the menu's n-th child, 0 the root.
// A host's "clicked" event activates the item later on the main loop, as a popup choice would.
class ExportedMenu {
 public:
  ExportedMenu(GDBusConnection* bus, GtkMenu* menu);
  ~ExportedMenu();
  ExportedMenu(const ExportedMenu&) = delete;
  ExportedMenu& operator=(const ExportedMenu&) = delete;

  static constexpr char kObjectPath[] = "/MenuBar";

 private:
  static void OnMethodCall(GDBusConnection* bus, const char* sender, const char* path,
                           const char* interface, const char* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* bus, const char* sender, const char* path,
                                 const char* interface, const char* name, GError** error,
                                 gpointer self);

  // The reply to a method call, or null for an id or property the menu does not have.
  GVariant* Answer(std::string_view method, GVariant* parameters) const;
  GVariant* Layout(int parent, GVariant* propertyNames) const;
  GVariant* GroupProperties(GVariant* ids, GVariant* propertyNames) const;
  GVariant* Property(int id, const char* name) const;
  GVariant* Events(GVariant* events) const;
  void HandleEvent(int id, std::string_view event) const;

  GObjectPtr<GDBusConnection> bus_;
  GObjectPtr<GtkMenu> menu_;
  guint object_ = 0;
};

}  // namespace lumora::gtk
