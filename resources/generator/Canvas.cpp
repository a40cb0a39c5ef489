#include "resources/generator/Canvas.h"

#include <stdexcept>

namespace lumora::skin {
Canvas::Canvas(Size logical, int scale)
    : logical_(logical),
      scale_(scale),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, logical.width * scale,
                                          logical.height * scale)),
      context_(cairo_create(surface_.get())) {
  if (cairo_status(context_.get()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a drawing surface");
  }
  cairo_scale(context_.get(), scale, scale);
}

std::uint32_t* Canvas::Row(int y) const {
  unsigned char* data = cairo_image_surface_get_data(surface_.get());
  return reinterpret_cast<std::uint32_t*>(data +
                                          y * cairo_image_surface_get_stride(surface_.get()));
}

void Canvas::Shade(Rect area, const std::function<Rgb(double x, double y)>& shade) {
  cairo_surface_flush(surface_.get());
  for (int y = area.y * scale_; y < (area.y + area.height) * scale_; ++y) {
    std::uint32_t* row = Row(y);
    for (int x = area.x * scale_; x < (area.x + area.width) * scale_; ++x) {
      row[x] = 0xFF000000u | Packed(shade((x + 0.5) / scale_, (y + 0.5) / scale_));
    }
  }
  cairo_surface_mark_dirty(surface_.get());
}

void Canvas::MirrorCell(Rect from, Point to) {
  cairo_surface_flush(surface_.get());
  int width = from.width * scale_;
  for (int y = 0; y < from.height * scale_; ++y) {
    const std::uint32_t* source = Row(from.y * scale_ + y) + from.x * scale_;
    std::uint32_t* target = Row(to.y * scale_ + y) + to.x * scale_;
    for (int x = 0; x < width; ++x) target[x] = source[width - 1 - x];
  }
  cairo_surface_mark_dirty(surface_.get());
}

std::uint32_t Canvas::Pixel(int x, int y) const {
  cairo_surface_flush(surface_.get());
  return Row(y)[x];
}

void Canvas::WritePng(const std::filesystem::path& file) const {
  cairo_surface_flush(surface_.get());
  if (cairo_surface_write_to_png(surface_.get(), file.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

}  // namespace lumora::skin
