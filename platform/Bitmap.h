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
class Bitmap {
 public:
  Bitmap() = default;
  explicit Bitmap(Size size);
  // Decodes a PNG; an empty bitmap when the bytes are not one.
  static Bitmap FromPng(std::string_view bytes);

  bool Empty() const { return !surface_; }
  Size Extent() const { return size_; }
  cairo_surface_t* Surface() const { return surface_.get(); }

  void Fill(Color color);
  void Fill(Rect area, Color color);
  // Copies source's rectangle `from` to `at` without scaling.
  void Blit(Point at, const Bitmap& source, Rect from);
  // Copies source's rectangle `from` scaled into the rectangle `to`.
  void StretchBlit(Rect to, const Bitmap& source, Rect from);
  // Keeps the top-left content, grows or shrinks to the new size (new area is transparent).
  void Resize(Size size);
  // 0xAARRGGBB of one pixel, 0 outside the bitmap.
  std::uint32_t PixelAt(Point at) const;

 private:
  struct Destroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  std::shared_ptr<cairo_surface_t> surface_;
  Size size_;
};

}  // namespace lumora
