#pragma once

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::test {

using BusPtr = gtk::GObjectPtr<GDBusConnection>;

// A connection of its own to the session bus, as another program would have.
inline BusPtr ConnectPeer() {
  g_autofree char* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  return BusPtr(g_dbus_connection_new_for_address_sync(
      address,
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr));
}

// A service the test owns on the session bus, over a connection of its own: one object whose
// method calls are recorded and answered with `reply` (null answers with no values). The name is
// held once the constructor returns; destroying the service takes it off the bus. Calls are
// served by the thread-default main context, which the test must iterate.
class FakeBusService {
 public:
  struct Call {
    std::string sender;
    std::string method;
    std::string parameters;  // as g_variant_print prints them, with type annotations
  };

  FakeBusService(
      const char* name, const char* path, const char* xml,
      std::function<GVariant*()> reply = [] { return nullptr; })
      : bus_(ConnectPeer()),
        node_(g_dbus_node_info_new_for_xml(xml, nullptr), g_dbus_node_info_unref),
        reply_(std::move(reply)) {
    static const GDBusInterfaceVTable vtable{OnMethodCall, nullptr, nullptr, {}};
    object_ = g_dbus_connection_register_object(bus_.get(), path, node_->interfaces[0], &vtable,
                                                this, nullptr, nullptr);
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(
        bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", name, 4u /* do not queue */), nullptr,
        G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    EXPECT_TRUE(owned) << name;
  }
  ~FakeBusService() {
    g_dbus_connection_unregister_object(bus_.get(), object_);
    g_dbus_connection_close_sync(bus_.get(), nullptr, nullptr);
  }
  FakeBusService(const FakeBusService&) = delete;
  FakeBusService& operator=(const FakeBusService&) = delete;

  GDBusConnection* Bus() const { return bus_.get(); }
  std::vector<Call> calls;

 private:
  static void OnMethodCall(GDBusConnection*, const char* sender, const char*, const char*,
                           const char* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<FakeBusService*>(data);
    g_autofree char* printed = g_variant_print(parameters, TRUE);
    self->calls.push_back({sender, method, printed});
    g_dbus_method_invocation_return_value(invocation, self->reply_());
  }

  BusPtr bus_;
  std::unique_ptr<GDBusNodeInfo, decltype(&g_dbus_node_info_unref)> node_;
  std::function<GVariant*()> reply_;
  guint object_ = 0;
};

// A tray host's watcher: items register with it.
constexpr char kWatcherXml[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
  </interface></node>)xml";

constexpr char kNotificationsXml[] = R"xml(<node>
  <interface name="org.freedesktop.Notifications"><method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
  </method></interface></node>)xml";

// The bus name in a recorded RegisterStatusNotifierItem call, printed "('name',)".
inline std::string RegisteredItem(const FakeBusService::Call& call) {
  return call.parameters.substr(2, call.parameters.size() - 5);
}

}  // namespace lumora::test
