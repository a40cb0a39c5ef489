#pragma once

#include <webkit2/webkit2.h>

#include <filesystem>
#include <vector>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// Gives the engine the folders for what it keeps of sites (storage, cookies, the HSTS list) and
// for its caches: both absolute, or both empty, when it keeps everything in memory and writes
// nothing (as it does when never given any). Only before the shared web context exists, the
// first view; throws std::logic_error otherwise.
void UseWebDataFolders(std::filesystem::path data, std::filesystem::path cache);

// The process's one web context, with the web process sandbox on and its data kept in the folders
// given, never where the engine would pick itself. No download ever starts in it. It lives as
// long as the process.
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
