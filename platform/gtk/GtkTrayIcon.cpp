#include "platform/gtk/GtkTrayIcon.h"

#include "platform/Raise.h"
#include "platform/gtk/GtkInit.h"
#include "platform/gtk/PopupMenu.h"
#include "platform/gtk/SessionBus.h"

namespace lumora::gtk {
namespace {

// D-Bus strings and GTK texts must be UTF-8; anything else is shown with replacement marks.
std::string ValidUtf8(const std::string& text) {
  g_autofree char* valid = g_utf8_make_valid(text.c_str(), -1);
  return valid;
}

}  // namespace

GtkTrayIcon::~GtkTrayIcon() {
  if (watch_) g_bus_unwatch_name(watch_);
}

void GtkTrayIcon::Add(const Bitmap& icon, const std::string& tip) {
  icon_ = icon;
  tip_ = ValidUtf8(tip);
  added_ = true;
  if (item_) item_->Update(icon_, tip_);
  if (xembed_) xembed_->Update(icon_, tip_);
  if (!SessionBusReachable()) {
    watchAnswered_ = true;
  } else if (!watch_) {
    watch_ = g_bus_watch_name(G_BUS_TYPE_SESSION, StatusNotifierItem::kWatcherName,
                              G_BUS_NAME_WATCHER_FLAGS_NONE, OnWatcherAppeared, OnWatcherVanished,
                              this, nullptr);
  }
  Present();
}

void GtkTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (added_) balloons_.Show(ValidUtf8(title), ValidUtf8(text));
}

void GtkTrayIcon::Remove() {
  added_ = false;
  item_.reset();
  xembed_.reset();
  TellWhetherShown();
}

void GtkTrayIcon::ExportMenu(Menu* menu) {
  auto* popup = dynamic_cast<PopupMenu*>(menu);
  menu_.reset(popup ? GTK_MENU(g_object_ref(popup->Handle())) : nullptr);
  if (item_) item_->ExportMenu(menu_.get());
}

bool GtkTrayIcon::IsShown() const {
  return added_ && ((item_ && item_->Registered()) || (xembed_ && xembed_->Embedded()));
}

void GtkTrayIcon::Present() {
  if (!added_ || !watchAnswered_) return;
  auto tell = [this] { TellWhetherShown(); };
  if (watcherBus_) {
    xembed_.reset();
    if (!item_) {
      item_ = std::make_unique<StatusNotifierItem>(watcherBus_.get(), *this, icon_, tip_, tell);
      item_->ExportMenu(menu_.get());
    }
  } else {
    item_.reset();
    if (!xembed_ && EnsureGtk()) {
      xembed_ = std::make_unique<XEmbedTrayIcon>(*this, icon_, tip_, tell);
    }
  }
  TellWhetherShown();
}

void GtkTrayIcon::TellWhetherShown() {
  bool shown = IsShown();
  if (shown == toldShown_) return;
  toldShown_ = shown;
  Raise(onShownChanged);
}

void GtkTrayIcon::OnWatcherAppeared(GDBusConnection* bus, const char*, const char*, gpointer data) {
  auto* self = static_cast<GtkTrayIcon*>(data);
  self->watcherBus_.reset(G_DBUS_CONNECTION(g_object_ref(bus)));
  self->watchAnswered_ = true;
  self->Present();
}

void GtkTrayIcon::OnWatcherVanished(GDBusConnection*, const char*, gpointer data) {
  auto* self = static_cast<GtkTrayIcon*>(data);
  self->watcherBus_.reset();
  self->watchAnswered_ = true;
  self->Present();
}

}  // namespace lumora::gtk
