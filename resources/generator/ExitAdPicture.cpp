#include "resources/generator/Draw.h"
#include "resources/generator/Sheets.h"

// The exit ad window's close picture: a dark rounded plate with a cross and "关闭".
namespace lumora::skin {

void DrawExitAdClose(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  RoundedRectPath(cr, 0.5, 0.5, 50, 20, 3);
  SetColour(cr, colour::kPageRim, 0.8);
  cairo_fill_preserve(cr);
  SetColour(cr, colour::kWindowBorder);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 7.5, 6.5);
  cairo_line_to(cr, 14.5, 13.5);
  cairo_move_to(cr, 14.5, 6.5);
  cairo_line_to(cr, 7.5, 13.5);
  SetColour(cr, colour::kAccent);
  cairo_set_line_width(cr, 1.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  DrawCentredText(cr, "关闭", {12, colour::kGlyphHover}, {18, 0, 30, 21});
}

}  // namespace lumora::skin
