#pragma once

#include <cairo.h>

#include <memory>

#include "platform/Window.h"

namespace lumora::gtk {

struct RegionDestroy {
  void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDestroy>;

// The pixels a rounded-rectangle window region keeps, as the system this program was made for
// rasterises it: the rectangle from (0, 0) to the given corner, its right and bottom edges
// excluded, with corners cut along an ellipse of the given width and height.
RegionPtr RoundedRegionPixels(const RoundedRegion& region);

}  // namespace lumora::gtk
