#include "platform/gtk/SystemClock.h"

#include <time.h>

namespace lumora::gtk {

LocalDateTime SystemClock::LocalNow() const {
  time_t now = std::chrono::system_clock::to_time_t(Now());
  struct tm local;
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace lumora::gtk
