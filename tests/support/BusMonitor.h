#pragma once

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "tests/support/FakeBusService.h"

namespace lumora::test {

// Watches the session bus as a monitor: every method call matching `rule` is recorded as
// "member parameters", the parameters printed by g_variant_print. The calls still go to their
// real receivers.
class BusMonitor {
 public:
  explicit BusMonitor(const char* rule) : bus_(ConnectPeer()) {
    filter_ = g_dbus_connection_add_filter(bus_.get(), OnMessage, this, nullptr);
    const char* rules[] = {rule, nullptr};
    g_autoptr(GVariant) reply = g_dbus_connection_call_sync(
        bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus.Monitoring", "BecomeMonitor", g_variant_new("(^asu)", rules, 0u),
        nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    EXPECT_TRUE(reply) << "the bus takes monitors";
  }
  ~BusMonitor() {
    g_dbus_connection_remove_filter(bus_.get(), filter_);
    g_dbus_connection_close_sync(bus_.get(), nullptr, nullptr);
  }
  BusMonitor(const BusMonitor&) = delete;
  BusMonitor& operator=(const BusMonitor&) = delete;

  std::vector<std::string> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  // Runs on the connection's worker thread. The calls seen are dropped: a monitor may not answer.
  static GDBusMessage* OnMessage(GDBusConnection*, GDBusMessage* message, gboolean incoming,
                                 gpointer data) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL) {
      return message;
    }
    auto* self = static_cast<BusMonitor*>(data);
    GVariant* body = g_dbus_message_get_body(message);
    g_autofree char* printed = body ? g_variant_print(body, FALSE) : g_strdup("()");
    {
      std::lock_guard lock(self->mutex_);
      self->calls_.push_back(std::string(g_dbus_message_get_member(message)) + " " + printed);
    }
    g_object_unref(message);
    return nullptr;
  }

  BusPtr bus_;
  guint filter_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace lumora::test
