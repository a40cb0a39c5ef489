#include "platform/gtk/BalloonNotifier.h"

#include <gio/gio.h>

#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/SessionBus.h"

namespace lumora::gtk {
namespace {

constexpr char kApplicationName[] = "Lumora";
// The program's installed icon and desktop entry, by which the desktop groups and shows the
// balloons as the program's own.
constexpr char kProgramIcon[] = "lumora";
constexpr char kDesktopEntry[] = "io.lumora.Lumora";
constexpr gint32 kServerDefaultTimeout = -1;

struct PendingBalloon {
  std::shared_ptr<guint32> lastId;
  std::string title;
  std::string text;
};

void TakeBalloonId(GObject* bus, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<guint32>> lastId(static_cast<std::shared_ptr<guint32>*>(data));
  g_autoptr(GVariant) reply =
      g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr);
  if (reply) g_variant_get(reply, "(u)", lastId->get());
}

GVariant* NotificationHints() {
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string(kDesktopEntry));
  return g_variant_builder_end(&hints);
}

void Notify(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<PendingBalloon> balloon(static_cast<PendingBalloon*>(data));
  GObjectPtr<GDBusConnection> bus(g_bus_get_finish(result, nullptr));
  if (!bus) return;
  g_dbus_connection_call(
      bus.get(), "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      "org.freedesktop.Notifications", "Notify",
      g_variant_new("(susss@as@a{sv}i)", kApplicationName, *balloon->lastId, kProgramIcon,
                    balloon->title.c_str(), balloon->text.c_str(), g_variant_new_strv(nullptr, 0),
                    NotificationHints(), kServerDefaultTimeout),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, TakeBalloonId,
      new std::shared_ptr<guint32>(balloon->lastId));
}

}  // namespace

void BalloonNotifier::Show(const std::string& title, const std::string& text) {
  if (!SessionBusReachable()) return;
  g_bus_get(G_BUS_TYPE_SESSION, nullptr, Notify, new PendingBalloon{lastId_, title, text});
}

}  // namespace lumora::gtk
