#pragma once

#include <cairo.h>

#include "platform/Geometry.h"
#include "resources/generator/Palette.h"

namespace lumora::skin {

void SetColour(cairo_t* cr, Rgb colour, double alpha = 1.0);
// Sets a top-to-bottom gradient between the logical rows `top` and `bottom` as the source.
void SetVerticalGradient(cairo_t* cr, Rgb upper, Rgb lower, double top, double bottom);
void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius);

struct TextStyle {
  double pixels = 12;
  Rgb colour;
};

// Draws one line of text centred on its ink in `box`, placed on whole device pixels so that the
// strokes stay sharp. Throws std::runtime_error when the font has no glyph for a character.
void DrawCentredText(cairo_t* cr, const char* text, const TextStyle& style, Rect box);

}  // namespace lumora::skin
