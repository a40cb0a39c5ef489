#include "platform/gtk/SessionBus.h"

#include <gio/gio.h>

#include <iostream>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {
namespace {

bool ProbeSessionBus() {
  g_autoptr(GError) error = nullptr;
  GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
  if (bus) return true;
  g_unsetenv("DBUS_SESSION_BUS_ADDRESS");
  std::cerr << "lumora: no session bus (" << error->message
            << "): single instance through its own socket, the tray through XEmbed only, no "
               "notifications, no media controls\n";
  return false;
}

}  // namespace

bool SessionBusReachable() {
  static const bool reachable = ProbeSessionBus();
  return reachable;
}

}  // namespace lumora::gtk
