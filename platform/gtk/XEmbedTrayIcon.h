#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/Tray.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// The tray icon in an XEmbed notification area (GtkStatusIcon), for desktops without a
// StatusNotifierWatcher. Without any notification area the icon is just not seen.
class XEmbedTrayIcon {
 public:
  // The clicks are raised on `clicks`, which must outlive the icon.
  XEmbedTrayIcon(TrayIcon& clicks, const Bitmap& icon, const std::string& tip);
  ~XEmbedTrayIcon();
  XEmbedTrayIcon(const XEmbedTrayIcon&) = delete;
  XEmbedTrayIcon& operator=(const XEmbedTrayIcon&) = delete;

  void Update(const Bitmap& icon, const std::string& tip);

  GtkStatusIcon* Handle() const { return icon_.get(); }

 private:
  static void OnActivate(GtkStatusIcon* icon, gpointer self);
  static void OnPopupMenu(GtkStatusIcon* icon, guint button, guint time, gpointer self);

  GObjectPtr<GtkStatusIcon> icon_;
  TrayIcon& clicks_;
};

}  // namespace lumora::gtk
