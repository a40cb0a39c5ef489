#pragma once

#include <webkit2/webkit2.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
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
//
// Each time every view has been idle for a moment (start-up over, a page opened), the group hands
// the heap this process freed back to the system. The first time, it also asks the web process
// whether it plays WebM: the engine starts its media framework only when a page first asks, which
// made the user's first video start a tenth of a second later than the others.
//
// A web process that stops answering (its media player can lock up when a page with a playing
// video is left) would freeze every view for good, and the engine itself notices only keys and
// clicks that reach it: a pointer's move that went unanswered holds back the clicks after it. So
// whenever the user clicks or types into a view, the group asks the process a small question;
// left unanswered for some seconds, it ends the process, and each view loads its page again in a
// new one. It ends a hung process at most once a minute, so a page that always hangs is not loaded
// again and again.
class WebViewGroup {
 public:
  WebViewGroup() = default;
  ~WebViewGroup();
  WebViewGroup(const WebViewGroup&) = delete;
  WebViewGroup& operator=(const WebViewGroup&) = delete;

  // A new view; the caller takes the floating reference.
  GtkWidget* NewView();

 private:
  static void OnViewDestroyed(GtkWidget* view, gpointer group);
  static void OnLoadingChanged(GObject* view, GParamSpec*, gpointer group);
  static void OnWebProcessEnded(WebKitWebView* view, WebKitWebProcessTerminationReason,
                                gpointer group);
  void WaitForIdleViews();
  static gboolean OnViewsIdle(gpointer group);
  static gboolean OnUserInput(GtkWidget* view, GdkEvent*, gpointer group);
  void CheckForHang();
  void AskWebProcess();
  static gboolean OnHangLimit(gpointer group);
  static void OnWebProcessAnswered(GObject* view, GAsyncResult* result, gpointer question);

  // The views not yet destroyed, oldest first.
  std::vector<GtkWidget*> views_;
  guint idleTimer_ = 0;
  // Whether the views' web process was asked to start its media framework.
  bool mediaWarmedUp_ = false;
  struct HangWatch {
    unsigned question = 0;  // the number of the last question asked
    bool unanswered = false;
  };
  // A question on its way to the web process, and the watch waiting for its answer.
  struct HangQuestion {
    std::weak_ptr<HangWatch> watch;
    unsigned number;
  };
  guint hangCheckTimer_ = 0;
  // Shared with the question on its way, which may come back after the group has gone.
  std::shared_ptr<HangWatch> hangWatch_ = std::make_shared<HangWatch>();
  std::optional<std::chrono::steady_clock::time_point> lastHangEnded_;
};

// The group of every window's views; it lives as long as the process.
WebViewGroup& SharedWebViews();

}  // namespace lumora::gtk
