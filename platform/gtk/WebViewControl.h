#pragma once

#include <webkit2/webkit2.h>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/gtk/WebEngine.h"
#include "platform/gtk/WidgetControl.h"

namespace lumora::gtk {

// A WebKitGTK view with the events of the program's web view control. Navigations the program
// starts raise BeforeNavigate2 before anything loads; navigations the engine starts (links,
// scripts, history, frames of the page) raise it from the engine's policy decision, once, and
// redirects not again. A failed load leaves the page as it was: no engine error page. Nothing a
// page does saves a file. The engine's view is made when the control is first used, inside a
// holder that takes its place at once: a window shows before the engine starts. When the web
// process ends (a crash, or the group ending a hung one), the view loads its page again.
class WebViewControl : public WidgetControl<WebView> {
 public:
  WebViewControl(GtkWidget* parentBoard, WebViewGroup& group);
  ~WebViewControl() override;

  // The page chooses the pointer over a web view.
  void SetPointer(PointerShape) override {}

  void Navigate(const std::string& address) override;
  void Navigate2(const std::string& address) override;
  void Refresh() override;
  bool GoBack() override;
  bool GoForward() override;
  void CopySelection() override;
  void Paste() override;
  void SetSilent(bool silent) override { silent_ = silent; }
  void WriteDocument(const std::string& html) override;
  std::string CurrentAddress() const override;
  void SetLoadsOnce(bool once) override { loadsOnce_ = once; }
  void FitPageBody(std::function<void(Size)> onMeasured) override;

  // How long a load may receive nothing before it fails as a navigation error.
  void SetStallLimit(std::chrono::milliseconds limit) { stallLimit_ = limit; }
  // The engine's view, made now if it was not yet.
  WebKitWebView* View();

 private:
  void MakeView();
  // Loads an address of the program's own without raising BeforeNavigate2 for it.
  void LoadApproved(const std::string& address);
  // A load of ours whose policy decision is not to be raised again.
  void Approve(const std::string& address);
  bool TakeApproval(const std::string& address);
  bool DecideNavigation(WebKitNavigationPolicyDecision* decision);
  void DecideNewWindow(WebKitNavigationPolicyDecision* decision);
  // Pages ask for new windows only while the user's click is handled (the engine blocks the
  // others), and at most one a second gets through.
  void AskForNewWindow(const std::string& address);
  bool MayOpenNewWindow();
  // Shows what the view can show; anything else (an attachment, a type the engine cannot show)
  // is dropped and, for the page itself, reported as a failed navigation.
  void DecideResponse(WebKitResponsePolicyDecision* decision);
  // The stall watch runs from the start of a load (or a redirect) until the page starts arriving.
  void WatchForStall();
  void StopStallWatch();
  static gboolean OnStalled(gpointer self);
  // DownloadComplete comes once a load: when the page's own document has arrived, before its
  // pictures and frames have (DocumentComplete), or when the load ends without it.
  void WatchMainResource();
  void ForgetMainResource();
  void RaiseDownloadComplete();
  static void OnMainResourceFinished(WebKitWebResource* resource, gpointer self);

  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* address,
                               GError* error, gpointer self);
  static GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer self);
  static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);
  static gboolean OnContextMenu(WebKitWebView* view, WebKitContextMenu* menu, GdkEvent* event,
                                WebKitHitTestResult* hit, gpointer self);
  static void OnWebProcessEnded(WebKitWebView* view, WebKitWebProcessTerminationReason,
                                gpointer self);
  static gboolean OnReloadAfterProcessEnd(gpointer self);
  static void OnDestroy(GtkWidget* widget, gpointer self);
  static void OnBodyFitted(GObject* view, GAsyncResult* result, gpointer request);

  WebViewGroup& group_;
  WebKitWebView* view_ = nullptr;     // owned by the holder, Widget()
  std::deque<std::string> approved_;  // address keys, oldest first
  bool silent_ = false;
  bool loadFailed_ = false;
  bool destroyed_ = false;
  std::chrono::milliseconds stallLimit_{30000};
  guint stallWatch_ = 0;
  bool stalled_ = false;
  GObjectPtr<WebKitWebResource> mainResource_;
  bool downloadCompleteRaised_ = false;
  std::optional<std::chrono::steady_clock::time_point> lastNewWindow_;
  // What the view last set out to show: the program's last navigation or the page's own, as it
  // started. A new web process loads it again.
  std::string lastAddress_;
  // The document last written into the blank page, until the program navigates elsewhere.
  std::string writtenDocument_;
  bool loadsOnce_ = false;
  guint reloadAfterProcessEnd_ = 0;
  // Handlers may destroy this control; callbacks check this token before going on.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora::gtk
