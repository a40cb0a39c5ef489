#include "platform/gtk/GtkInit.h"

#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>

#include <iostream>
#include <stdexcept>

namespace lumora::gtk {
namespace {

// Said once, on the one start that runs on Wayland.
void ReportWaylandLimits() {
  if (!GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default())) return;
  std::cerr << "lumora: running as a native Wayland client (no X server was reachable, or "
               "GDK_BACKEND asked for Wayland): the window "
               "cannot centre itself at start, the popup ad cannot place itself at the bottom "
               "right of the screen, \"always on top\" has no effect, and the tray icon needs a "
               "StatusNotifierItem host (there is no XEmbed tray)\n";
}

bool InitGtk() {
  // The window places itself, stays above others and may fall back to an XEmbed tray: X11 allows
  // all of that, so it comes first wherever an X server answers (XWayland in a Wayland session).
  // GDK_BACKEND, when set, still decides.
  gdk_set_allowed_backends("x11,*");
  if (!gtk_init_check(nullptr, nullptr)) return false;
  ReportWaylandLimits();
  return true;
}

}  // namespace

bool EnsureGtk() {
  static const bool initialised = InitGtk();
  return initialised;
}

void RequireGtk() {
  if (!EnsureGtk()) throw std::runtime_error("GTK cannot open a display");
}

}  // namespace lumora::gtk
