#include "platform/Bitmap.h"

#include <cstring>

namespace lumora {
namespace {

struct PngReader {
  std::string_view bytes;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->bytes.size() < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, reader->bytes.data(), length);
  reader->bytes.remove_prefix(length);
  return CAIRO_STATUS_SUCCESS;
}

struct CairoContext {
  explicit CairoContext(cairo_surface_t* surface) : cr(cairo_create(surface)) {}
  ~CairoContext() { cairo_destroy(cr); }
  CairoContext(const CairoContext&) = delete;
  CairoContext& operator=(const CairoContext&) = delete;
  cairo_t* cr;
};

}  // namespace

void SetSourceColor(cairo_t* cr, Color color) {
  cairo_set_source_rgb(cr, ((color.rgb >> 16) & 0xFF) / 255.0, ((color.rgb >> 8) & 0xFF) / 255.0,
                       (color.rgb & 0xFF) / 255.0);
}

Bitmap::Bitmap(Size size, int scale)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(size.width, 0) * scale,
                                          std::max(size.height, 0) * scale),
               Destroy()),
      size_(size),
      scale_(scale) {
  cairo_surface_set_device_scale(surface_.get(), scale, scale);
}

Bitmap Bitmap::FromPng(std::string_view bytes, int scale) {
  PngReader reader{bytes};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
  Bitmap bitmap;
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return bitmap;
  }
  cairo_surface_set_device_scale(surface, scale, scale);
  bitmap.surface_.reset(surface, Destroy());
  bitmap.size_ = {cairo_image_surface_get_width(surface) / scale,
                  cairo_image_surface_get_height(surface) / scale};
  bitmap.scale_ = scale;
  return bitmap;
}

void Bitmap::Fill(Color color) {
  Fill(Rect{0, 0, size_.width, size_.height}, color);
}

void Bitmap::Fill(Rect area, Color color) {
  if (Empty()) return;
  CairoContext context(surface_.get());
  SetSourceColor(context.cr, color);
  cairo_rectangle(context.cr, area.x, area.y, area.width, area.height);
  cairo_fill(context.cr);
}

void Bitmap::Blit(Point at, const Bitmap& source, Rect from) {
  StretchBlit(Rect{at.x, at.y, from.width, from.height}, source, from);
}

void Bitmap::StretchBlit(Rect to, const Bitmap& source, Rect from) {
  if (Empty() || source.Empty() || to.width <= 0 || to.height <= 0 || from.width <= 0 ||
      from.height <= 0) {
    return;
  }
  CairoContext context(surface_.get());
  cairo_t* cr = context.cr;
  cairo_rectangle(cr, to.x, to.y, to.width, to.height);
  cairo_clip(cr);
  cairo_translate(cr, to.x, to.y);
  cairo_scale(cr, static_cast<double>(to.width) / from.width,
              static_cast<double>(to.height) / from.height);
  cairo_set_source_surface(cr, source.Surface(), -from.x, -from.y);
  // Nearest-neighbour and clamped edges: stretched frame pieces stay crisp and never bleed.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
}

void Bitmap::Resize(Size size) {
  if (size == size_ && !Empty()) return;
  Bitmap resized(size, scale_);
  if (!Empty()) resized.Blit({0, 0}, *this, Rect{0, 0, size_.width, size_.height});
  *this = resized;
}

std::uint32_t Bitmap::PixelAt(Point at) const {
  if (Empty() || at.x < 0 || at.y < 0 || at.x >= size_.width || at.y >= size_.height) return 0;
  cairo_surface_flush(surface_.get());
  const unsigned char* data = cairo_image_surface_get_data(surface_.get());
  int stride = cairo_image_surface_get_stride(surface_.get());
  std::uint32_t pixel;
  std::memcpy(&pixel, data + at.y * scale_ * stride + at.x * scale_ * 4, sizeof pixel);
  return pixel;
}

}  // namespace lumora
