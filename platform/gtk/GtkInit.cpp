#include "platform/gtk/GtkInit.h"

#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>

#include <iostream>
#include <stdexcept>
#include <vector>

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

std::vector<const char*>& VariablesSetHere() {
  static std::vector<const char*> names;
  return names;
}

// A variable the user set keeps the user's value.
void SetUnlessGiven(const char* name, const char* value) {
  if (g_getenv(name)) return;
  g_setenv(name, value, TRUE);
  VariablesSetHere().push_back(name);
}

bool InitGtk() {
  // The window places itself, stays above others and may fall back to an XEmbed tray: X11 allows
  // all of that, so it comes first wherever an X server answers (XWayland in a Wayland session).
  // GDK_BACKEND, when set, still decides.
  gdk_set_allowed_backends("x11,*");
  KeepGlDriversOut();
  if (!gtk_init_check(nullptr, nullptr)) return false;
  ReportWaylandLimits();
  return true;
}

}  // namespace

bool EnsureGtk() {
  static const bool initialised = InitGtk();
  return initialised;
}

// The program draws with the CPU only: its web views never use hardware acceleration and GTK
// paints its windows with cairo. Left alone, GTK (here and in the web process) chooses its window
// visuals through GLX, the web process paints pictures and canvases through GL, and the web
// engine probes for GPU buffer sharing and, each time it starts a web process, searches for a GPU
// device through EGL: all of that loads the system's GL driver, some 20 MB and a tenth of a second
// at start in each process. The device the engine is given instead is none.
void KeepGlDriversOut() {
  SetUnlessGiven("GDK_GL", "disable");
  SetUnlessGiven("WEBKIT_SKIA_ENABLE_CPU_RENDERING", "1");
  SetUnlessGiven("WEBKIT_DISABLE_DMABUF_RENDERER", "1");
  SetUnlessGiven("WEBKIT_WEB_RENDER_DEVICE_FILE", "/dev/null");
}

const std::vector<const char*>& OwnEnvironmentVariables() {
  return VariablesSetHere();
}

void RequireGtk() {
  if (!EnsureGtk()) throw std::runtime_error("GTK cannot open a display");
}

}  // namespace lumora::gtk
