#pragma once

#include <gio/gio.h>

#include <memory>

namespace lumora::gtk {

struct InterfaceInfoUnref {
  void operator()(GDBusInterfaceInfo* info) const { g_dbus_interface_info_unref(info); }
};
using InterfaceInfoPtr = std::unique_ptr<GDBusInterfaceInfo, InterfaceInfoUnref>;

// The one interface an introspection document of ours describes, for registering an object.
inline InterfaceInfoPtr InterfaceFromXml(const char* xml) {
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
  InterfaceInfoPtr info(g_dbus_interface_info_ref(node->interfaces[0]));
  g_dbus_node_info_unref(node);
  return info;
}

}  // namespace lumora::gtk
