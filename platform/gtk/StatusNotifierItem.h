#pragma once

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Tray.h"
#include "platform/gtk/ExportedMenu.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// The tray icon as a StatusNotifierItem on the session bus: the object /StatusNotifierItem under
// a name of its own, registered with the StatusNotifierWatcher once the name is held. Activate
// is a left click, ContextMenu a right click; a menu may be exported beside it for hosts that open
// it themselves. Destroying it takes the name and the objects off the bus, which tells the watcher
// the item is gone. The item counts as shown once the watcher has answered its registration:
// a watcher runs for the tray hosts that show the items it lists.
class StatusNotifierItem {
 public:
  // The clicks are raised on `clicks`, which must outlive the item; `registered` once the watcher
  // has accepted the item.
  StatusNotifierItem(GDBusConnection* bus, TrayIcon& clicks, const Bitmap& icon,
                     const std::string& tip, std::function<void()> registered);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // Shows another icon and tip, telling the host they changed.
  void Update(const Bitmap& icon, const std::string& tip);
  // Exports this menu beside the item, or none when null.
  void ExportMenu(GtkMenu* menu);
  bool Registered() const { return registered_; }

  static constexpr char kObjectPath[] = "/StatusNotifierItem";
  // The watcher's bus name, which is also its interface.
  static constexpr char kWatcherName[] = "org.kde.StatusNotifierWatcher";

 private:
  GVariant* Property(const char* name) const;
  static void OnMethodCall(GDBusConnection* bus, const char* sender, const char* path,
                           const char* interface, const char* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* bus, const char* sender, const char* path,
                                 const char* interface, const char* name, GError** error,
                                 gpointer self);
  static void OnNameAcquired(GDBusConnection* bus, const char* name, gpointer self);
  static void OnRegisterReply(GObject* bus, GAsyncResult* result, gpointer self);

  GObjectPtr<GDBusConnection> bus_;
  TrayIcon& clicks_;
  Bitmap icon_;
  std::string tip_;
  std::unique_ptr<ExportedMenu> menu_;
  guint object_ = 0;
  guint name_ = 0;
  std::function<void()> onRegistered_;
  bool registered_ = false;
  // Stops a registration still waiting for its answer when the item goes.
  GObjectPtr<GCancellable> registering_{g_cancellable_new()};
};

}  // namespace lumora::gtk
