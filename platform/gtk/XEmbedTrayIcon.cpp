#include "platform/gtk/XEmbedTrayIcon.h"

#include "platform/Raise.h"

// GtkStatusIcon is deprecated, but it is GTK's only way into an XEmbed notification area.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace lumora::gtk {

XEmbedTrayIcon::XEmbedTrayIcon(TrayIcon& clicks, const Bitmap& icon, const std::string& tip,
                               std::function<void()> embeddedChanged)
    : icon_(gtk_status_icon_new()),
      clicks_(clicks),
      onEmbeddedChanged_(std::move(embeddedChanged)) {
  Update(icon, tip);
  g_signal_connect(icon_.get(), "activate", G_CALLBACK(OnActivate), this);
  g_signal_connect(icon_.get(), "popup-menu", G_CALLBACK(OnPopupMenu), this);
  g_signal_connect(icon_.get(), "notify::embedded", G_CALLBACK(OnEmbeddedChanged), this);
}

XEmbedTrayIcon::~XEmbedTrayIcon() {
  g_signal_handlers_disconnect_by_data(icon_.get(), this);
  gtk_status_icon_set_visible(icon_.get(), FALSE);
}

void XEmbedTrayIcon::Update(const Bitmap& icon, const std::string& tip) {
  if (!icon.Empty()) {
    Size size = icon.Extent();
    GObjectPtr<GdkPixbuf> pixbuf(
        gdk_pixbuf_get_from_surface(icon.Surface(), 0, 0, size.width, size.height));
    if (pixbuf) gtk_status_icon_set_from_pixbuf(icon_.get(), pixbuf.get());
  }
  gtk_status_icon_set_tooltip_text(icon_.get(), tip.c_str());
  gtk_status_icon_set_title(icon_.get(), tip.c_str());
}

bool XEmbedTrayIcon::Embedded() const {
  return gtk_status_icon_is_embedded(icon_.get());
}

void XEmbedTrayIcon::OnActivate(GtkStatusIcon*, gpointer self) {
  Raise(static_cast<XEmbedTrayIcon*>(self)->clicks_.onLeftClick);
}

void XEmbedTrayIcon::OnPopupMenu(GtkStatusIcon*, guint, guint, gpointer self) {
  Raise(static_cast<XEmbedTrayIcon*>(self)->clicks_.onRightClick);
}

void XEmbedTrayIcon::OnEmbeddedChanged(GtkStatusIcon*, GParamSpec*, gpointer self) {
  Raise(static_cast<XEmbedTrayIcon*>(self)->onEmbeddedChanged_);
}

}  // namespace lumora::gtk

G_GNUC_END_IGNORE_DEPRECATIONS
