#include "platform/gtk/GlibTimer.h"

#include "platform/Raise.h"

namespace lumora::gtk {

GlibTimer::~GlibTimer() {
  Stop();
}

void GlibTimer::SetInterval(std::chrono::milliseconds interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (enabled_) Restart();
}

void GlibTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void GlibTimer::Restart() {
  Stop();
  if (!enabled_ || interval_.count() <= 0) return;
  source_ = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(interval_.count()), OnTick,
                               this, nullptr);
}

void GlibTimer::Stop() {
  if (source_ != 0) g_source_remove(source_);
  source_ = 0;
}

gboolean GlibTimer::OnTick(gpointer data) {
  auto* self = static_cast<GlibTimer*>(data);
  guint ticking = self->source_;
  std::weak_ptr<char> alive = self->alive_;
  Raise(self->onTick);
  // A handler that destroyed, stopped or restarted the timer has removed this source already.
  if (alive.expired() || self->source_ != ticking) return G_SOURCE_REMOVE;
  return G_SOURCE_CONTINUE;
}

}  // namespace lumora::gtk
