#include "shell/Glyphs.h"

namespace lumora {

void PaintCloseGlyph(Bitmap& surface) {
  Size size = surface.Extent();
  surface.Fill(Color{0x2A2A2A});
  cairo_t* cr = cairo_create(surface.Surface());
  cairo_set_source_rgb(cr, 0.86, 0.86, 0.86);
  cairo_set_line_width(cr, 1.6);
  double inset = size.width * 0.3;
  cairo_move_to(cr, inset, inset);
  cairo_line_to(cr, size.width - inset, size.height - inset);
  cairo_move_to(cr, size.width - inset, inset);
  cairo_line_to(cr, inset, size.height - inset);
  cairo_stroke(cr);
  cairo_destroy(cr);
}

}  // namespace lumora
