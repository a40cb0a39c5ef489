#pragma once

#include "platform/Clock.h"

namespace lumora::gtk {

class SystemClock : public Clock {
 public:
  WallTime Now() const override { return std::chrono::system_clock::now(); }
  LocalDateTime LocalNow() const override;
};

}  // namespace lumora::gtk
