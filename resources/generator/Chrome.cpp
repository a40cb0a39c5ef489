#include <algorithm>
#include <numbers>

#include "resources/generator/Draw.h"
#include "resources/generator/Sheets.h"

// The window frame and the caption buttons. Everything that sits on the caption band is drawn
// over the band's own shade for the row it is placed at, so the pieces blend in exactly.
namespace lumora::skin {
namespace {

constexpr int kCell = 20;
constexpr int kMenuCell = 60;

bool Within(double x, double y, double left, double top, double right, double bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

// The whole chrome of a window of `width` x `height` at the point (x, y): a lighter outline, the
// caption band, the side and bottom chrome and a dark rim around the page area. Each colour
// depends only on the distances to the window's edges, so any row or column away from the
// corners can be stretched without a seam.
Rgb WindowAt(double x, double y, double width, double height) {
  if (std::min({x, y, width - x, height - y}) < 1) return colour::kWindowBorder;
  double left = place::kPageLeft;
  double top = place::kPageTop;
  double right = width - place::kPageRight;
  double bottom = height - place::kPageBottom;
  if (Within(x, y, left, top, right, bottom)) return colour::kPage;
  if (Within(x, y, left - 1, top - 1, right + 1, bottom + 1)) return colour::kPageRim;
  return y < top ? CaptionShade(y) : colour::kChrome;
}

void ShadeCaptionRows(Canvas& canvas, int windowTop) {
  canvas.Shade(canvas.Bounds(),
               [windowTop](double, double y) { return CaptionShade(windowTop + y); });
}

void Stroke(cairo_t* cr, Rgb colour, double width) {
  SetColour(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

// How a button shows: the plate behind it when hovered and the ink of its glyph.
struct ButtonStyle {
  Rgb plate = colour::kGlyphHover;
  double plateAlpha = 0.13;
  Rgb ink = colour::kGlyph;
  Rgb hoverInk = colour::kGlyphHover;
};
constexpr ButtonStyle kPlainButton;
constexpr ButtonStyle kCloseButton{colour::kCloseHover, 1};
// A pin that is on stays orange, lighter under the pointer.
constexpr ButtonStyle kPinnedButton{.ink = colour::kAccent, .hoverInk = colour::kAccentLight};

void MenuGlyph(cairo_t* cr, Rgb ink) {
  for (double row : {6.5, 10.5, 14.5}) {
    cairo_move_to(cr, 9, row);
    cairo_line_to(cr, 17, row);
  }
  Stroke(cr, ink, 1);
  DrawCentredText(cr, "菜单", {12, ink}, {19, 0, 36, 21});
}

void MinimiseGlyph(cairo_t* cr, Rgb ink) {
  cairo_move_to(cr, 5, 10.5);
  cairo_line_to(cr, 15, 10.5);
  Stroke(cr, ink, 1);
}

void MaximiseGlyph(cairo_t* cr, Rgb ink) {
  cairo_rectangle(cr, 5.5, 5.5, 9, 9);
  cairo_move_to(cr, 5, 6.5);
  cairo_line_to(cr, 15, 6.5);
  Stroke(cr, ink, 1);
}

void CloseGlyph(cairo_t* cr, Rgb ink) {
  cairo_move_to(cr, 6, 6);
  cairo_line_to(cr, 14, 14);
  cairo_move_to(cr, 14, 6);
  cairo_line_to(cr, 6, 14);
  Stroke(cr, ink, 1.5);
}

// A screen with a small player in its corner.
void CompactGlyph(cairo_t* cr, Rgb ink) {
  cairo_rectangle(cr, 4.5, 5.5, 11, 9);
  Stroke(cr, ink, 1);
  cairo_rectangle(cr, 9, 9, 5, 4);
  SetColour(cr, ink);
  cairo_fill(cr);
}

// Two overlapping windows: the back one shows only its top and right side.
void RestoreGlyph(cairo_t* cr, Rgb ink) {
  cairo_move_to(cr, 7.5, 7.5);
  cairo_line_to(cr, 7.5, 4.5);
  cairo_line_to(cr, 14.5, 4.5);
  cairo_line_to(cr, 14.5, 11.5);
  cairo_line_to(cr, 12.5, 11.5);
  cairo_rectangle(cr, 5.5, 7.5, 7, 7);
  Stroke(cr, ink, 1);
}

// A push pin standing upright at the middle of a cell.
void PinShape(cairo_t* cr, Rgb ink) {
  cairo_rectangle(cr, -3, -7, 6, 2);
  cairo_rectangle(cr, -2, -5, 4, 4);
  cairo_rectangle(cr, -4.5, -1, 9, 2);
  SetColour(cr, ink);
  cairo_fill(cr);
  cairo_move_to(cr, 0, 1);
  cairo_line_to(cr, 0, 7);
  Stroke(cr, ink, 1.2);
}

void UprightPin(cairo_t* cr, Rgb ink) {
  cairo_save(cr);
  cairo_translate(cr, 10, 10.5);
  PinShape(cr, ink);
  cairo_restore(cr);
}

void LeaningPin(cairo_t* cr, Rgb ink) {
  cairo_save(cr);
  cairo_translate(cr, 10, 10.5);
  cairo_rotate(cr, std::numbers::pi / 4);
  PinShape(cr, ink);
  cairo_restore(cr);
}

using Glyph = void (*)(cairo_t*, Rgb);

// Draws one button cell at `left`: when hovered a plate, then the glyph.
void Button(cairo_t* cr, double left, double width, Look look, Glyph glyph,
            const ButtonStyle& style = kPlainButton) {
  cairo_save(cr);
  cairo_translate(cr, left, 0);
  bool hover = look == Look::kHover;
  if (hover) {
    RoundedRectPath(cr, 1, 1, width - 2, 19, 3);
    SetColour(cr, style.plate, style.plateAlpha);
    cairo_fill(cr);
  }
  glyph(cr, hover ? style.hoverInk : style.ink);
  cairo_restore(cr);
}

}  // namespace

void DrawFrame(Canvas& canvas) {
  Size size = canvas.Logical();
  canvas.Shade(canvas.Bounds(),
               [size](double x, double y) { return WindowAt(x, y, size.width, size.height); });
}

void DrawWindowButtons(Canvas& canvas, Look look) {
  ShadeCaptionRows(canvas, place::kButtonTop);
  cairo_t* cr = canvas.Context();
  Button(cr, 0, kMenuCell, look, MenuGlyph);
  Button(cr, kMenuCell, kCell, look, MinimiseGlyph);
  Button(cr, kMenuCell + kCell, kCell, look, MaximiseGlyph);
  Button(cr, kMenuCell + 2 * kCell, kCell, look, CloseGlyph, kCloseButton);
  Button(cr, kMenuCell + 3 * kCell, kCell, look, CompactGlyph);
}

void DrawRestoreButton(Canvas& canvas) {
  ShadeCaptionRows(canvas, place::kButtonTop);
  Button(canvas.Context(), 0, kCell, Look::kNormal, RestoreGlyph);
  Button(canvas.Context(), kCell, kCell, Look::kHover, RestoreGlyph);
}

void DrawTopmostButton(Canvas& canvas) {
  ShadeCaptionRows(canvas, place::kButtonTop);
  cairo_t* cr = canvas.Context();
  Button(cr, 0, kCell, Look::kNormal, LeaningPin);
  Button(cr, kCell, kCell, Look::kHover, LeaningPin);
  Button(cr, 2 * kCell, kCell, Look::kNormal, UprightPin, kPinnedButton);
  Button(cr, 3 * kCell, kCell, Look::kHover, UprightPin, kPinnedButton);
}

void DrawPlainChrome(Canvas& canvas) {
  canvas.Shade(canvas.Bounds(), [](double, double) { return colour::kChrome; });
}

void DrawPlainPage(Canvas& canvas) {
  canvas.Shade(canvas.Bounds(), [](double, double) { return colour::kPage; });
}

}  // namespace lumora::skin
