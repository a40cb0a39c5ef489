#pragma once

#include <glib.h>

#include <memory>

#include "platform/Timer.h"

namespace lumora::gtk {

// A GLib timeout on the default main context. Enabling it, or changing its interval while it is
// enabled, starts a new interval; an interval of 0 never ticks.
class GlibTimer : public Timer {
 public:
  GlibTimer() = default;
  ~GlibTimer() override;
  GlibTimer(const GlibTimer&) = delete;
  GlibTimer& operator=(const GlibTimer&) = delete;

  void SetInterval(std::chrono::milliseconds interval) override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

 private:
  void Restart();
  void Stop();
  static gboolean OnTick(gpointer self);

  std::chrono::milliseconds interval_{0};
  bool enabled_ = false;
  guint source_ = 0;
  // The tick handler may destroy this timer; the callback checks this token after it.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora::gtk
