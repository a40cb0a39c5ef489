#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Geometry.h"
#include "resources/generator/Palette.h"

namespace lumora::skin {

// An ARGB image drawn in logical pixels. `scale` device pixels make one logical pixel, so one
// drawing routine makes both the normal and the double-size image.
class Canvas {
 public:
  Canvas(Size logical, int scale);

  cairo_t* Context() const { return context_.get(); }
  Size Logical() const { return logical_; }
  Rect Bounds() const { return {0, 0, logical_.width, logical_.height}; }
  int Scale() const { return scale_; }

  // Sets every device pixel inside `area` (logical) opaque to `shade` taken at the pixel's
  // centre in logical coordinates: exact colours for backgrounds that must line up.
  void Shade(Rect area, const std::function<Rgb(double x, double y)>& shade);
  // Copies the logical cell `from`, mirrored left to right, to the same-sized cell at `to`.
  void MirrorCell(Rect from, Point to);
  // A device pixel as cairo keeps it: 0xAARRGGBB, premultiplied.
  std::uint32_t Pixel(int x, int y) const;
  // Throws std::runtime_error when the file cannot be written.
  void WritePng(const std::filesystem::path& file) const;

 private:
  struct DestroySurface {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  struct DestroyContext {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
  };

  std::uint32_t* Row(int y) const;

  Size logical_;
  int scale_;
  std::unique_ptr<cairo_surface_t, DestroySurface> surface_;
  std::unique_ptr<cairo_t, DestroyContext> context_;
};

}  // namespace lumora::skin
