#pragma once

#include <webkit2/webkit2.h>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// The process's one web context, with the web process sandbox on. It lives as long as the
// process.
WebKitWebContext* SharedWebContext();

// Makes the web views of the windows. A view made while none is alive is made on the shared
// context with the program's settings (no hardware acceleration, pages without a charset read as
// GBK, scripts may open windows, which the views report instead of opening); every other one is
// related to a live view, so the views of all windows share one web process and its settings.
class WebViewGroup {
 public:
  // A new view; the caller takes the floating reference.
  GtkWidget* NewView();
};

}  // namespace lumora::gtk
