#include "platform/gtk/ExportedMenu.h"

#include <string_view>

#include "platform/gtk/BusInterface.h"

namespace lumora::gtk {
namespace {

constexpr char kMenuXml[] = R"xml(<node>
  <interface name="com.canonical.dbusmenu">
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
    <method name="GetLayout">
      <arg type="i" direction="in"/><arg type="i" direction="in"/><arg type="as" direction="in"/>
      <arg type="u" direction="out"/><arg type="(ia{sv}av)" direction="out"/>
    </method>
    <method name="GetGroupProperties">
      <arg type="ai" direction="in"/><arg type="as" direction="in"/>
      <arg type="a(ia{sv})" direction="out"/>
    </method>
    <method name="GetProperty">
      <arg type="i" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
    </method>
    <method name="Event">
      <arg type="i" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="in"/>
      <arg type="u" direction="in"/>
    </method>
    <method name="EventGroup">
      <arg type="a(isvu)" direction="in"/><arg type="ai" direction="out"/>
    </method>
    <method name="AboutToShow"><arg type="i" direction="in"/><arg type="b" direction="out"/></method>
    <method name="AboutToShowGroup">
      <arg type="ai" direction="in"/><arg type="ai" direction="out"/><arg type="ai" direction="out"/>
    </method>
    <signal name="ItemsPropertiesUpdated">
      <arg type="a(ia{sv})"/><arg type="a(ias)"/>
    </signal>
    <signal name="LayoutUpdated"><arg type="u"/><arg type="i"/></signal>
    <signal name="ItemActivationRequested"><arg type="i"/><arg type="u"/></signal>
  </interface>
</node>)xml";

// The items never change once the menu is built, so the layout keeps its first revision.
constexpr guint32 kRevision = 1;

GDBusInterfaceInfo* MenuInterface() {
  static const InterfaceInfoPtr info = InterfaceFromXml(kMenuXml);
  return info.get();
}

// The menu's item with this id, or null for the root and for ids the menu does not have.
GtkWidget* ItemWithId(GtkMenu* menu, int id) {
  if (id < 1) return nullptr;
  g_autoptr(GList) items = gtk_container_get_children(GTK_CONTAINER(menu));
  return GTK_WIDGET(g_list_nth_data(items, static_cast<guint>(id - 1)));
}

int ItemCount(GtkMenu* menu) {
  g_autoptr(GList) items = gtk_container_get_children(GTK_CONTAINER(menu));
  return static_cast<int>(g_list_length(items));
}

bool IsKnownId(GtkMenu* menu, int id) {
  return id >= 0 && id <= ItemCount(menu);
}

// Whether the host asked for this property; no list or an empty one asks for all of them.
bool Wanted(GVariant* propertyNames, std::string_view name) {
  if (!propertyNames || g_variant_n_children(propertyNames) == 0) return true;
  g_autofree const char** names = g_variant_get_strv(propertyNames, nullptr);
  for (const char** at = names; *at; ++at) {
    if (name == *at) return true;
  }
  return false;
}

void AddProperty(GVariantBuilder& properties, GVariant* propertyNames, const char* name,
                 GVariant* value) {
  g_variant_ref_sink(value);
  if (Wanted(propertyNames, name)) g_variant_builder_add(&properties, "{sv}", name, value);
  g_variant_unref(value);
}

// The item's properties as a{sv}; the root's when `item` is null.
GVariant* ItemProperties(GtkWidget* item, GVariant* propertyNames) {
  GVariantBuilder properties;
  g_variant_builder_init(&properties, G_VARIANT_TYPE_VARDICT);
  if (!item) {
    AddProperty(properties, propertyNames, "children-display", g_variant_new_string("submenu"));
  } else if (GTK_IS_SEPARATOR_MENU_ITEM(item)) {
    AddProperty(properties, propertyNames, "type", g_variant_new_string("separator"));
  } else {
    const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
    AddProperty(properties, propertyNames, "label", g_variant_new_string(label ? label : ""));
    AddProperty(properties, propertyNames, "enabled",
                g_variant_new_boolean(gtk_widget_get_sensitive(item)));
  }
  if (item) {
    AddProperty(properties, propertyNames, "visible",
                g_variant_new_boolean(gtk_widget_get_visible(item)));
  }
  return g_variant_builder_end(&properties);
}

GVariant* ItemNode(int id, GtkWidget* item, GVariant* propertyNames) {
  return g_variant_new("(i@a{sv}@av)", id, ItemProperties(item, propertyNames),
                       g_variant_new_array(G_VARIANT_TYPE_VARIANT, nullptr, 0));
}

gboolean ActivateItem(gpointer item) {
  gtk_menu_item_activate(GTK_MENU_ITEM(item));
  return G_SOURCE_REMOVE;
}

}  // namespace

ExportedMenu::ExportedMenu(GDBusConnection* bus, GtkMenu* menu)
    : bus_(G_DBUS_CONNECTION(g_object_ref(bus))), menu_(GTK_MENU(g_object_ref(menu))) {
  static const GDBusInterfaceVTable vtable{OnMethodCall, OnGetProperty, nullptr, {}};
  object_ = g_dbus_connection_register_object(bus, kObjectPath, MenuInterface(), &vtable, this,
                                              nullptr, nullptr);
}

ExportedMenu::~ExportedMenu() {
  if (object_) g_dbus_connection_unregister_object(bus_.get(), object_);
}

GVariant* ExportedMenu::Layout(int parent, GVariant* propertyNames) const {
  GVariantBuilder children;
  g_variant_builder_init(&children, G_VARIANT_TYPE("av"));
  if (parent == 0) {
    g_autoptr(GList) items = gtk_container_get_children(GTK_CONTAINER(menu_.get()));
    int id = 0;
    for (GList* at = items; at; at = at->next) {
      g_variant_builder_add(&children, "v", ItemNode(++id, GTK_WIDGET(at->data), propertyNames));
    }
  }
  return g_variant_new("(u(i@a{sv}av))", kRevision, parent,
                       ItemProperties(ItemWithId(menu_.get(), parent), propertyNames), &children);
}

GVariant* ExportedMenu::GroupProperties(GVariant* ids, GVariant* propertyNames) const {
  GVariantBuilder group;
  g_variant_builder_init(&group, G_VARIANT_TYPE("a(ia{sv})"));
  GVariantIter iter;
  g_variant_iter_init(&iter, ids);
  for (gint32 id; g_variant_iter_next(&iter, "i", &id);) {
    if (!IsKnownId(menu_.get(), id)) continue;
    g_variant_builder_add(&group, "(i@a{sv})", id,
                          ItemProperties(ItemWithId(menu_.get(), id), propertyNames));
  }
  return g_variant_new("(a(ia{sv}))", &group);
}

GVariant* ExportedMenu::Property(int id, const char* name) const {
  g_autoptr(GVariant) properties =
      g_variant_ref_sink(ItemProperties(ItemWithId(menu_.get(), id), nullptr));
  g_autoptr(GVariant) value = g_variant_lookup_value(properties, name, nullptr);
  return value ? g_variant_new("(v)", value) : nullptr;
}

// A click runs the item's command once the host's call is answered, like a choice in the popup;
// other events change nothing.
void ExportedMenu::HandleEvent(int id, std::string_view event) const {
  GtkWidget* item = ItemWithId(menu_.get(), id);
  if (event != "clicked" || !item || GTK_IS_SEPARATOR_MENU_ITEM(item) ||
      !gtk_widget_get_sensitive(item)) {
    return;
  }
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, ActivateItem, g_object_ref(item), g_object_unref);
}

// Handles a group of events; the answer lists the ids the menu does not have.
GVariant* ExportedMenu::Events(GVariant* events) const {
  GVariantBuilder unknown;
  g_variant_builder_init(&unknown, G_VARIANT_TYPE("ai"));
  GVariantIter iter;
  g_variant_iter_init(&iter, events);
  gint32 id = 0;
  const char* event = nullptr;
  while (g_variant_iter_next(&iter, "(i&svu)", &id, &event, nullptr, nullptr)) {
    if (!IsKnownId(menu_.get(), id)) g_variant_builder_add(&unknown, "i", id);
    HandleEvent(id, event);
  }
  return g_variant_new("(ai)", &unknown);
}

GVariant* ExportedMenu::Answer(std::string_view method, GVariant* parameters) const {
  gint32 id = 0;
  if (method == "GetLayout") {
    g_autoptr(GVariant) names = g_variant_get_child_value(parameters, 2);
    g_variant_get_child(parameters, 0, "i", &id);
    return IsKnownId(menu_.get(), id) ? Layout(id, names) : nullptr;
  }
  if (method == "GetGroupProperties") {
    g_autoptr(GVariant) ids = g_variant_get_child_value(parameters, 0);
    g_autoptr(GVariant) names = g_variant_get_child_value(parameters, 1);
    return GroupProperties(ids, names);
  }
  if (method == "GetProperty") {
    const char* name = nullptr;
    g_variant_get(parameters, "(i&s)", &id, &name);
    return IsKnownId(menu_.get(), id) ? Property(id, name) : nullptr;
  }
  if (method == "Event") {
    const char* event = nullptr;
    g_variant_get(parameters, "(i&svu)", &id, &event, nullptr, nullptr);
    HandleEvent(id, event);
    return g_variant_new("()");
  }
  if (method == "EventGroup") {
    g_autoptr(GVariant) events = g_variant_get_child_value(parameters, 0);
    return Events(events);
  }
  // The items are always ready, so the host never needs to fetch them again.
  if (method == "AboutToShow") return g_variant_new("(b)", FALSE);
  return g_variant_new("(@ai@ai)", g_variant_new_array(G_VARIANT_TYPE_INT32, nullptr, 0),
                       g_variant_new_array(G_VARIANT_TYPE_INT32, nullptr, 0));
}

void ExportedMenu::OnMethodCall(GDBusConnection*, const char*, const char*, const char*,
                                const char* method, GVariant* parameters,
                                GDBusMethodInvocation* invocation, gpointer self) {
  GVariant* answer = static_cast<ExportedMenu*>(self)->Answer(method, parameters);
  if (answer) return g_dbus_method_invocation_return_value(invocation, answer);
  g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                        "No such menu item or property");
}

GVariant* ExportedMenu::OnGetProperty(GDBusConnection*, const char*, const char*, const char*,
                                      const char* name, GError**, gpointer) {
  std::string_view property = name;
  if (property == "Version") return g_variant_new_uint32(3);
  if (property == "TextDirection") return g_variant_new_string("ltr");
  if (property == "Status") return g_variant_new_string("normal");
  return g_variant_new_strv(nullptr, 0);  // "IconThemePath", the one property left
}

}  // namespace lumora::gtk
