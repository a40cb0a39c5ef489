#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/Desktop.h"

namespace lumora::gtk {

// The primary monitor (or the first), GTK message dialogs, GIO's launching and GLib's process
// spawning.
class GtkDesktop : public Desktop {
 public:
  GtkDesktop() = default;
  // Lets launches still under way reach the handler, so an address opened just before the
  // program ends is not lost.
  ~GtkDesktop() override;
  GtkDesktop(const GtkDesktop&) = delete;
  GtkDesktop& operator=(const GtkDesktop&) = delete;

  Size ScreenSize() const override;
  Rect WorkArea() const override;
  int ScaleFactor() const override;
  MessageAnswer ShowMessage(TopWindow* owner, const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void DismissMessages() override;
  void OpenAddress(const std::string& address) override;
  bool StartProcess(const std::string& path) override;

 private:
  // Launches started and not yet finished; shared with their callbacks, which may outlive this.
  std::shared_ptr<int> pendingLaunches_ = std::make_shared<int>(0);
  // The message boxes running now, the innermost last.
  std::vector<GtkWidget*> openMessages_;
};

}  // namespace lumora::gtk
