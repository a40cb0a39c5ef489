#pragma once

#include <cairo.h>

#include <memory>
#include <string_view>

#include "platform/Geometry.h"

namespace lumora {

// Makes color the cairo context's source.
void SetSourceColor(cairo_t* cr, Color color);

// A 32-bit image surface (cairo) that pictures paint from and into. Copies are plain copies of
// the pixels, as the window chrome needs them; stretching scales the source rectangle.
// Positions and sizes are logical pixels; a bitmap of scale 2 holds two device pixels per logical
// pixel each way, for screens scaled by two.
class Bitmap {
 public:
  Bitmap() = default;
  explicit Bitmap(Size size, int scale = 1);
  // Decodes a PNG drawn at the given scale; an empty bitmap when the bytes are not one.
  static Bitmap FromPng(std::string_view bytes, int scale = 1);

  bool Empty() const { return !surface_; }
  Size Extent() const { return size_; }
  int Scale() const { return scale_; }
  cairo_surface_t* Surface() const { return surface_.get(); }

  void Fill(Color color);
  void Fill(Rect area, Color color);
  // Copies source's rectangle `from` to `at` without scaling.
  void Blit(Point at, const Bitmap& source, Rect from);
  // Copies source's rectangle `from` scaled into the rectangle `to`.
  void StretchBlit(Rect to, const Bitmap& source, Rect from);
  // Keeps the top-left content, grows or shrinks to the new size (new area is transparent).
  void Resize(Size size);
  // 0xAARRGGBB of the first device pixel of a logical pixel, 0 outside the bitmap.
  std::uint32_t PixelAt(Point at) const;

 private:
  struct Destroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  std::shared_ptr<cairo_surface_t> surface_;
  Size size_;
  int scale_ = 1;
};

}  // namespace lumora
