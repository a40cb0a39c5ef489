#include "platform/gtk/StatusNotifierItem.h"

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/Raise.h"
#include "platform/gtk/BusInterface.h"

namespace lumora::gtk {
namespace {

constexpr char kInterface[] = "org.kde.StatusNotifierItem";
constexpr char kApplicationId[] = "Lumora";
// Hosts that find no menu here ask the item itself with ContextMenu.
constexpr char kNoMenu[] = "/NO_DBUSMENU";

constexpr char kItemXml[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="Activate"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
    <method name="SecondaryActivate">
      <arg type="i" direction="in"/><arg type="i" direction="in"/>
    </method>
    <method name="ContextMenu"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewToolTip"/>
  </interface>
</node>)xml";

GDBusInterfaceInfo* ItemInterface() {
  static const InterfaceInfoPtr info = InterfaceFromXml(kItemXml);
  return info.get();
}

// A bus name of the form the watcher expects, unique within the session.
std::string NewBusName() {
  static int items = 0;
  return std::string(kInterface) + "-" + std::to_string(getpid()) + "-" + std::to_string(++items);
}

// The bitmap's pixels as one icon of a(iiay): straight (not premultiplied) alpha, each pixel the
// four bytes A, R, G, B.
GVariant* IconPixmaps(const Bitmap& icon) {
  GVariantBuilder pixmaps;
  g_variant_builder_init(&pixmaps, G_VARIANT_TYPE("a(iiay)"));
  if (icon.Empty()) return g_variant_builder_end(&pixmaps);
  Size size = icon.Extent();
  GVariantBuilder bytes;
  g_variant_builder_init(&bytes, G_VARIANT_TYPE_BYTESTRING);
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      std::uint32_t pixel = icon.PixelAt({x, y});
      std::uint32_t alpha = pixel >> 24;
      g_variant_builder_add(&bytes, "y", static_cast<guchar>(alpha));
      for (int shift : {16, 8, 0}) {
        std::uint32_t premultiplied = (pixel >> shift) & 0xFF;
        g_variant_builder_add(&bytes, "y",
                              static_cast<guchar>(alpha ? premultiplied * 255 / alpha : 0));
      }
    }
  }
  g_variant_builder_add(&pixmaps, "(iiay)", size.width, size.height, &bytes);
  return g_variant_builder_end(&pixmaps);
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(GDBusConnection* bus, TrayIcon& clicks, const Bitmap& icon,
                                       const std::string& tip, std::function<void()> registered)
    : bus_(G_DBUS_CONNECTION(g_object_ref(bus))),
      clicks_(clicks),
      icon_(icon),
      tip_(tip),
      onRegistered_(std::move(registered)) {
  static const GDBusInterfaceVTable vtable{OnMethodCall, OnGetProperty, nullptr, {}};
  object_ = g_dbus_connection_register_object(bus, kObjectPath, ItemInterface(), &vtable, this,
                                              nullptr, nullptr);
  name_ = g_bus_own_name_on_connection(bus, NewBusName().c_str(), G_BUS_NAME_OWNER_FLAGS_NONE,
                                       OnNameAcquired, nullptr, this, nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  g_cancellable_cancel(registering_.get());
  g_bus_unown_name(name_);
  if (object_) g_dbus_connection_unregister_object(bus_.get(), object_);
}

void StatusNotifierItem::Update(const Bitmap& icon, const std::string& tip) {
  icon_ = icon;
  tip_ = tip;
  for (const char* signal : {"NewIcon", "NewTitle", "NewToolTip"}) {
    g_dbus_connection_emit_signal(bus_.get(), nullptr, kObjectPath, kInterface, signal, nullptr,
                                  nullptr);
  }
}

void StatusNotifierItem::ExportMenu(GtkMenu* menu) {
  menu_.reset();
  if (menu) menu_ = std::make_unique<ExportedMenu>(bus_.get(), menu);
}

GVariant* StatusNotifierItem::Property(const char* name) const {
  std::string_view property = name;
  if (property == "Category") return g_variant_new_string("ApplicationStatus");
  if (property == "Id") return g_variant_new_string(kApplicationId);
  if (property == "Title") return g_variant_new_string(tip_.c_str());
  if (property == "Status") return g_variant_new_string("Active");
  if (property == "IconPixmap") return IconPixmaps(icon_);
  if (property == "ToolTip")
    return g_variant_new("(s@a(iiay)ss)", "", IconPixmaps({}), tip_.c_str(), "");
  if (property == "ItemIsMenu") return g_variant_new_boolean(FALSE);
  // "Menu", the one property left
  return g_variant_new_object_path(menu_ ? ExportedMenu::kObjectPath : kNoMenu);
}

void StatusNotifierItem::OnMethodCall(GDBusConnection*, const char*, const char*, const char*,
                                      const char* method, GVariant*,
                                      GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  std::string_view called = method;
  // The host gets its answer first: a handler may open a menu or a modal dialog.
  g_dbus_method_invocation_return_value(invocation, nullptr);
  if (called == "Activate") {
    Raise(self->clicks_.onLeftClick);
  } else if (called == "ContextMenu") {
    Raise(self->clicks_.onRightClick);
  }
}

GVariant* StatusNotifierItem::OnGetProperty(GDBusConnection*, const char*, const char*, const char*,
                                            const char* name, GError**, gpointer self) {
  return static_cast<StatusNotifierItem*>(self)->Property(name);
}

void StatusNotifierItem::OnNameAcquired(GDBusConnection* bus, const char* name, gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  g_dbus_connection_call(bus, kWatcherName, "/StatusNotifierWatcher", kWatcherName,
                         "RegisterStatusNotifierItem", g_variant_new("(s)", name), nullptr,
                         G_DBUS_CALL_FLAGS_NONE, -1, self->registering_.get(), OnRegisterReply,
                         self);
}

void StatusNotifierItem::OnRegisterReply(GObject* bus, GAsyncResult* result, gpointer data) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(GVariant) reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  // A cancelled call's item is gone; a refused one is not shown.
  if (!reply) return;
  auto* self = static_cast<StatusNotifierItem*>(data);
  self->registered_ = true;
  Raise(self->onRegistered_);
}

}  // namespace lumora::gtk
