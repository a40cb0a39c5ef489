#include <cmath>
#include <numbers>

#include "resources/generator/Draw.h"
#include "resources/generator/Gif.h"
#include "resources/generator/Sheets.h"

// The program's mark and the pictures shown on pages: the loading cover and the delete icon.
namespace lumora::skin {
namespace {

// The mark is designed on a square of this many pixels and scaled to the size asked for.
constexpr double kIconDesign = 64;

constexpr Rect kCoverText{0, 78, 200, 24};
constexpr double kCoverMarkX = 100;
constexpr double kCoverMarkY = 46;

constexpr int kSpinnerBars = 12;

// The delete icon keeps the anti-aliasing as a few shades, blended over the dark page it sits on;
// pixels covered less than this stay transparent.
constexpr int kDeleteShades = 7;
constexpr double kDeleteThreshold = 0.3;

void Triangle(cairo_t* cr, double left, double top, double right, double bottom) {
  cairo_move_to(cr, left, top);
  cairo_line_to(cr, right, (top + bottom) / 2);
  cairo_line_to(cr, left, bottom);
  cairo_close_path(cr);
}

// One spinner bar, fading in the order of rotation; the leading bar is orange.
void SpinnerBar(cairo_t* cr, int bar) {
  double angle = 2 * std::numbers::pi * bar / kSpinnerBars;
  cairo_move_to(cr, kCoverMarkX + 10 * std::sin(angle), kCoverMarkY - 10 * std::cos(angle));
  cairo_line_to(cr, kCoverMarkX + 18 * std::sin(angle), kCoverMarkY - 18 * std::cos(angle));
  bool leading = bar == kSpinnerBars - 1;
  SetColour(cr, leading ? colour::kAccent : colour::kPageText,
            0.15 + 0.85 * bar / (kSpinnerBars - 1));
  cairo_stroke(cr);
}

double Coverage(std::uint32_t argb) {
  return (argb >> 24) / 255.0;
}

// Palette 0 is the transparent page colour, then shades from the page towards the ink.
IndexedImage ReduceToShades(const Canvas& canvas, Rgb ink, Rgb matte) {
  IndexedImage image{canvas.Logical().width, canvas.Logical().height, {}, 0, {}};
  for (int shade = 0; shade <= kDeleteShades; ++shade) {
    image.palette.push_back(Packed(Mix(matte, ink, static_cast<double>(shade) / kDeleteShades)));
  }
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      double coverage = Coverage(canvas.Pixel(x, y));
      long shade = coverage < kDeleteThreshold ? 0 : std::lround(coverage * kDeleteShades);
      image.pixels.push_back(static_cast<std::uint8_t>(shade));
    }
  }
  return image;
}

}  // namespace

void DrawIcon(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  cairo_scale(cr, canvas.Logical().width / kIconDesign, canvas.Logical().height / kIconDesign);
  RoundedRectPath(cr, 2, 2, 60, 60, 14);
  SetVerticalGradient(cr, colour::kAccentLight, colour::kAccentDark, 2, 62);
  cairo_fill(cr);
  cairo_arc(cr, 32, 32, 21, 0, 2 * std::numbers::pi);
  SetColour(cr, colour::kGlyphHover, 0.35);
  cairo_set_line_width(cr, 3.5);
  cairo_stroke(cr);
  Triangle(cr, 26, 20, 45, 44);
  SetColour(cr, colour::kGlyphHover);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 3);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
}

void DrawWaiting(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  cairo_set_line_width(cr, 3.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int bar = 0; bar < kSpinnerBars; ++bar) SpinnerBar(cr, bar);
  DrawCentredText(cr, "正在加载…", {14, colour::kPageText}, kCoverText);
}

void DrawLoadError(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  cairo_arc(cr, kCoverMarkX, kCoverMarkY, 18, 0, 2 * std::numbers::pi);
  SetColour(cr, colour::kError);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_move_to(cr, kCoverMarkX, kCoverMarkY - 10);
  cairo_line_to(cr, kCoverMarkX, kCoverMarkY + 3);
  cairo_set_line_width(cr, 3.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_arc(cr, kCoverMarkX, kCoverMarkY + 10, 2.2, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  DrawCentredText(cr, "页面加载失败，点击重试", {14, colour::kPageText}, kCoverText);
}

namespace {

// A cross with round ends over the square from (left, top) to (right, bottom).
void StrokeCross(cairo_t* cr, Rgb colour, double width, double left, double top, double right,
                 double bottom) {
  cairo_move_to(cr, left, top);
  cairo_line_to(cr, right, bottom);
  cairo_move_to(cr, right, top);
  cairo_line_to(cr, left, bottom);
  SetColour(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

// The dark rounded plate under a close picture, with its thin border.
void FillClosePlate(cairo_t* cr, double width, double height, double radius, double alpha) {
  RoundedRectPath(cr, 0.5, 0.5, width, height, radius);
  SetColour(cr, colour::kPageRim, alpha);
  cairo_fill_preserve(cr);
  SetColour(cr, colour::kWindowBorder);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

}  // namespace

void DrawPopupClose(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  FillClosePlate(cr, 39, 13, 6.5, 0.85);
  DrawCentredText(cr, "关闭", {10, colour::kPageText}, {3, 0, 24, 14});
  StrokeCross(cr, colour::kAccent, 1.4, 28.5, 4.5, 33.5, 9.5);
}

IndexedImage MakeDeleteIcon() {
  Canvas canvas({11, 11}, 1);
  StrokeCross(canvas.Context(), colour::kGlyph, 1.6, 2.5, 2.5, 8.5, 8.5);
  return ReduceToShades(canvas, colour::kGlyph, colour::kPage);
}

// The exit ad window's close picture: a dark rounded plate with a cross and "关闭".
void DrawExitAdClose(Canvas& canvas) {
  cairo_t* cr = canvas.Context();
  FillClosePlate(cr, 50, 20, 3, 0.8);
  StrokeCross(cr, colour::kAccent, 1.8, 7.5, 6.5, 14.5, 13.5);
  DrawCentredText(cr, "关闭", {12, colour::kGlyphHover}, {18, 0, 30, 21});
}

}  // namespace lumora::skin
