#include "platform/gtk/GtkInit.h"

#include <gtk/gtk.h>

#include <stdexcept>

namespace lumora::gtk {

bool EnsureGtk() {
  static const bool initialised = gtk_init_check(nullptr, nullptr);
  return initialised;
}

void RequireGtk() {
  if (!EnsureGtk()) throw std::runtime_error("GTK cannot open a display");
}

}  // namespace lumora::gtk
