#include "platform/gtk/GlibEventLoop.h"

#include <glib.h>

namespace lumora::gtk {

void GlibEventLoop::ProcessEvents(std::chrono::milliseconds maxWait) {
  if (maxWait.count() <= 0) {
    g_main_context_iteration(nullptr, FALSE);
    return;
  }
  // A one-shot timer bounds the blocking iteration; it is dropped if something else woke us.
  bool expired = false;
  guint timer = g_timeout_add_full(
      G_PRIORITY_DEFAULT, static_cast<guint>(maxWait.count()),
      [](gpointer flag) {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired, nullptr);
  g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(timer);
}

}  // namespace lumora::gtk
