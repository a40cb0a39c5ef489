#include "platform/gtk/WindowRegion.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumora::gtk {
namespace {

// How far each row of the corner ellipse's bounding box is cut in from the side, stepped with
// Zingl's integer ellipse rasteriser like the system's round-rect regions.
std::vector<int> EllipseInsets(int width, int height) {
  std::vector<int> insets(height, 0);
  const std::int64_t a = width - 1;
  const std::int64_t b = height - 1;
  const std::int64_t aSquared8 = 8 * a * a;
  const std::int64_t bSquared8 = 8 * b * b;
  std::int64_t dx = 4 * b * b * (1 - a);
  std::int64_t dy = 4 * a * a * (1 + b % 2);
  std::int64_t error = dx + dy + a * a * (b % 2);
  int x = 0;
  int y = height / 2;
  while (x <= width / 2) {
    std::int64_t doubled = 2 * error;
    if (doubled >= dx) {
      ++x;
      error += dx += bSquared8;
    }
    if (doubled <= dy) {
      if (++y >= height) break;
      error += dy += aSquared8;
      insets[y] = x;
    }
  }
  for (int row = 0; row < height / 2; ++row) insets[row] = insets[b - row];
  return insets;
}

void AddRow(cairo_region_t* region, int y, int left, int right) {
  cairo_rectangle_int_t row{left, y, right - left, 1};
  if (row.width > 0) cairo_region_union_rectangle(region, &row);
}

}  // namespace

RegionPtr RoundedRegionPixels(const RoundedRegion& region) {
  RegionPtr pixels(cairo_region_create());
  const int right = region.size.width - 1;
  const int bottom = region.size.height - 1;
  if (right <= 0 || bottom <= 0) return pixels;
  const int ellipseWidth = std::min(right, std::abs(region.ellipse));
  const int ellipseHeight = std::min(bottom, std::abs(region.ellipse));
  if (ellipseWidth < 2 || ellipseHeight < 2) {
    cairo_rectangle_int_t whole{0, 0, right, bottom};
    cairo_region_union_rectangle(pixels.get(), &whole);
    return pixels;
  }
  std::vector<int> insets = EllipseInsets(ellipseWidth, ellipseHeight);
  const int half = ellipseHeight / 2;
  for (int row = 0; row < half; ++row) AddRow(pixels.get(), row, insets[row], right - insets[row]);
  cairo_rectangle_int_t middle{0, half, right, bottom - ellipseHeight + 1};
  cairo_region_union_rectangle(pixels.get(), &middle);
  for (int row = half + 1; row < ellipseHeight; ++row) {
    AddRow(pixels.get(), bottom - ellipseHeight + row, insets[row], right - insets[row]);
  }
  return pixels;
}

}  // namespace lumora::gtk
