#pragma once

#include <glib.h>

#include <memory>
#include <string>

namespace lumora::gtk {

// Balloons as desktop notifications (org.freedesktop.Notifications on the session bus). Each one
// replaces the one shown before. Sending is asynchronous; without a bus or a notification
// service the balloon is dropped silently.
class BalloonNotifier {
 public:
  BalloonNotifier() = default;
  BalloonNotifier(const BalloonNotifier&) = delete;
  BalloonNotifier& operator=(const BalloonNotifier&) = delete;

  void Show(const std::string& title, const std::string& text);

 private:
  // The id the service gave the last balloon (0: none), kept by a pending call even after this
  // notifier has gone.
  std::shared_ptr<guint32> lastId_ = std::make_shared<guint32>(0);
};

}  // namespace lumora::gtk
