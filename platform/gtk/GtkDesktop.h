#pragma once

#include "platform/Desktop.h"

namespace lumora::gtk {

// The primary monitor (or the first), GTK message dialogs, GIO's launching and GLib's process
// spawning.
class GtkDesktop : public Desktop {
 public:
  Size ScreenSize() const override;
  Rect WorkArea() const override;
  MessageAnswer ShowMessage(TopWindow* owner, const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void OpenAddress(const std::string& address) override;
  bool StartProcess(const std::string& path) override;
};

}  // namespace lumora::gtk
