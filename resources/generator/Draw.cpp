#include "resources/generator/Draw.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

namespace lumora::skin {
namespace {

// The one font of every drawn title; it covers the Chinese texts.
constexpr const char* kFontFamily = "WenQuanYi Zen Hei";

struct UnrefObject {
  void operator()(gpointer object) const { g_object_unref(object); }
};
struct FreeFontDescription {
  void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
struct DestroyFontOptions {
  void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
struct DestroyPattern {
  void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};

using Layout = std::unique_ptr<PangoLayout, UnrefObject>;

// Unhinted greyscale outlines: the same pixels on every run and at every scale.
void UseSteadyRendering(PangoLayout* layout) {
  std::unique_ptr<cairo_font_options_t, DestroyFontOptions> options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options.get());
  pango_layout_context_changed(layout);
}

Layout MakeLayout(cairo_t* cr, const char* text, double pixels) {
  Layout layout(pango_cairo_create_layout(cr));
  UseSteadyRendering(layout.get());
  std::unique_ptr<PangoFontDescription, FreeFontDescription> font(pango_font_description_new());
  pango_font_description_set_family(font.get(), kFontFamily);
  pango_font_description_set_absolute_size(font.get(), pixels * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), text, -1);
  if (pango_layout_get_unknown_glyphs_count(layout.get()) != 0) {
    throw std::runtime_error(std::string("the font ") + kFontFamily + " cannot draw \"" + text +
                             "\"");
  }
  return layout;
}

void SnapToDevicePixels(cairo_t* cr, double& x, double& y) {
  cairo_user_to_device(cr, &x, &y);
  x = std::round(x);
  y = std::round(y);
  cairo_device_to_user(cr, &x, &y);
}

}  // namespace

void SetColour(cairo_t* cr, Rgb colour, double alpha) {
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void SetVerticalGradient(cairo_t* cr, Rgb upper, Rgb lower, double top, double bottom) {
  std::unique_ptr<cairo_pattern_t, DestroyPattern> gradient(
      cairo_pattern_create_linear(0, top, 0, bottom));
  cairo_pattern_add_color_stop_rgb(gradient.get(), 0, upper.r, upper.g, upper.b);
  cairo_pattern_add_color_stop_rgb(gradient.get(), 1, lower.r, lower.g, lower.b);
  cairo_set_source(cr, gradient.get());
}

void RoundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius) {
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + width - radius, y + radius, radius, -kQuarter, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, kQuarter);
  cairo_arc(cr, x + radius, y + height - radius, radius, kQuarter, 2 * kQuarter);
  cairo_arc(cr, x + radius, y + radius, radius, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

void DrawCentredText(cairo_t* cr, const char* text, const TextStyle& style, Rect box) {
  Layout layout = MakeLayout(cr, text, style.pixels);
  PangoRectangle ink;
  pango_layout_get_extents(layout.get(), &ink, nullptr);
  double x = box.x + box.width / 2.0 - (ink.x + ink.width / 2.0) / PANGO_SCALE;
  double y = box.y + box.height / 2.0 - (ink.y + ink.height / 2.0) / PANGO_SCALE;
  SnapToDevicePixels(cr, x, y);
  cairo_save(cr);
  SetColour(cr, style.colour);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
}

}  // namespace lumora::skin
