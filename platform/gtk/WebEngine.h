#pragma once

#include <webkit2/webkit2.h>

#include <vector>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// The process's one web context, with the web process sandbox on. It lives as long as the
// process.
WebKitWebContext* SharedWebContext();

// The program's web views, of every window. The first is made on the shared context with the
// program's settings (no hardware acceleration, pages without a charset read as GBK, windows
// opened by scripts only after the user's click); every later one is related to the oldest view
// alive, so all of them share one web process and the settings.
class WebViewGroup {
 public:
  // A new view; the caller takes the floating reference.
  GtkWidget* NewView();

 private:
  static void OnViewDestroyed(GtkWidget* view, gpointer group);

  // The views not yet destroyed, oldest first.
  std::vector<GtkWidget*> views_;
};

// The group of every window's views; it lives as long as the process.
WebViewGroup& SharedWebViews();

}  // namespace lumora::gtk
