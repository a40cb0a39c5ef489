#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

#include "platform/Tray.h"
#include "platform/gtk/BalloonNotifier.h"
#include "platform/gtk/StatusNotifierItem.h"
#include "platform/gtk/XEmbedTrayIcon.h"

namespace lumora::gtk {

// The tray icon: a StatusNotifierItem while a StatusNotifierWatcher runs on the session bus, an
// XEmbed icon otherwise. Nothing shows until the bus has said whether a watcher runs; then the
// icon follows the watcher coming and going. It is shown while the watcher has accepted the item,
// or while a notification area has embedded the XEmbed icon.
class GtkTrayIcon final : public TrayIcon {
 public:
  GtkTrayIcon() = default;
  ~GtkTrayIcon() override;
  GtkTrayIcon(const GtkTrayIcon&) = delete;
  GtkTrayIcon& operator=(const GtkTrayIcon&) = delete;

  void Add(const Bitmap& icon, const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void Remove() override;
  void ExportMenu(Menu* menu) override;
  bool IsShown() const override;

  // How the icon is shown at the moment; nothing while it is not added or no way works.
  const StatusNotifierItem* Item() const { return item_.get(); }
  const XEmbedTrayIcon* XEmbedIcon() const { return xembed_.get(); }

 private:
  // Shows the added icon the way the desktop takes it now.
  void Present();
  // Raises onShownChanged when IsShown is no longer what it was last time.
  void TellWhetherShown();
  static void OnWatcherAppeared(GDBusConnection* bus, const char* name, const char* owner,
                                gpointer self);
  static void OnWatcherVanished(GDBusConnection* bus, const char* name, gpointer self);

  Bitmap icon_;
  std::string tip_;
  GObjectPtr<GtkMenu> menu_;
  bool added_ = false;
  bool toldShown_ = false;
  guint watch_ = 0;
  bool watchAnswered_ = false;
  // The session bus while a watcher owns its name there.
  GObjectPtr<GDBusConnection> watcherBus_;
  std::unique_ptr<StatusNotifierItem> item_;
  std::unique_ptr<XEmbedTrayIcon> xembed_;
  BalloonNotifier balloons_;
};

}  // namespace lumora::gtk
