#pragma once

#include <deque>
#include <optional>

#include "platform/Geometry.h"

namespace lumora::gtk {

// Tells which of the window system's size reports are news. Reports come late and may repeat:
// after the program asked for a size, reports of older sizes can still arrive, and taking them
// would make the window's size flap back and forth.
class SizeReports {
 public:
  void Asked(Size size);
  // True for the last size asked for and for a size the window system chose itself; false for
  // sizes asked for earlier, and for repeats of the last one confirmed, while a newer request
  // is on its way.
  bool IsNews(Size reported);

 private:
  std::deque<Size> asked_;  // oldest first
  std::optional<Size> confirmed_;
};

}  // namespace lumora::gtk
