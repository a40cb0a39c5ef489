#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "platform/Tray.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// The tray icon in an XEmbed notification area (GtkStatusIcon), for desktops without a
// StatusNotifierWatcher. It is shown once a notification area (the owner of the screen's tray
// manager selection) has embedded it; without one it is just not seen.
class XEmbedTrayIcon {
 public:
  // The clicks are raised on `clicks`, which must outlive the icon; `embeddedChanged` when a
  // notification area takes the icon or lets it go.
  XEmbedTrayIcon(TrayIcon& clicks, const Bitmap& icon, const std::string& tip,
                 std::function<void()> embeddedChanged);
  ~XEmbedTrayIcon();
  XEmbedTrayIcon(const XEmbedTrayIcon&) = delete;
  XEmbedTrayIcon& operator=(const XEmbedTrayIcon&) = delete;

  void Update(const Bitmap& icon, const std::string& tip);
  bool Embedded() const;

  GtkStatusIcon* Handle() const { return icon_.get(); }

 private:
  static void OnActivate(GtkStatusIcon* icon, gpointer self);
  static void OnPopupMenu(GtkStatusIcon* icon, guint button, guint time, gpointer self);
  static void OnEmbeddedChanged(GtkStatusIcon* icon, GParamSpec* property, gpointer self);

  GObjectPtr<GtkStatusIcon> icon_;
  TrayIcon& clicks_;
  std::function<void()> onEmbeddedChanged_;
};

}  // namespace lumora::gtk
