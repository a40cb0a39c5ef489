#include "platform/gtk/LabelControl.h"

#include <pango/pangocairo.h>

#include <memory>

namespace lumora::gtk {
namespace {

struct FontDescriptionFree {
  void operator()(PangoFontDescription* description) const {
    pango_font_description_free(description);
  }
};

struct AttrListUnref {
  void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};

}  // namespace

LabelControl::LabelControl(GtkWidget* parentBoard)
    : BoardControl<Label>(parentBoard), layout_(gtk_widget_create_pango_layout(Widget(), "")) {
  ApplyFont();
}

void LabelControl::SetCaption(const std::string& text) {
  caption_ = text;
  pango_layout_set_text(layout_.get(), text.c_str(), static_cast<int>(text.size()));
  FitToText();
}

void LabelControl::SetForeColor(Color color) {
  foreColor_ = color;
  gtk_widget_queue_draw(Widget());
}

void LabelControl::SetBackColor(Color color) {
  backColor_ = color;
  gtk_widget_queue_draw(Widget());
}

void LabelControl::SetFont(const Font& font) {
  font_ = font;
  ApplyFont();
  FitToText();
}

void LabelControl::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  FitToText();
}

void LabelControl::ApplyFont() {
  std::unique_ptr<PangoFontDescription, FontDescriptionFree> description(
      pango_font_description_new());
  pango_font_description_set_family(description.get(), font_.family.c_str());
  pango_font_description_set_size(description.get(),
                                  static_cast<gint>(font_.points * PANGO_SCALE + 0.5));
  pango_font_description_set_weight(description.get(),
                                    font_.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout_.get(), description.get());
  std::unique_ptr<PangoAttrList, AttrListUnref> attributes(pango_attr_list_new());
  if (font_.underline) {
    pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  }
  pango_layout_set_attributes(layout_.get(), attributes.get());
}

void LabelControl::FitToText() {
  if (autoSize_) {
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout_.get(), &width, &height);
    Rect geometry = Geometry();
    SetGeometry({geometry.x, geometry.y, width, height});
  }
  gtk_widget_queue_draw(Widget());
}

void LabelControl::PaintBoard(cairo_t* cr, int width, int height) {
  if (backColor_) {
    SetSourceColor(cr, *backColor_);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
  }
  SetSourceColor(cr, foreColor_);
  pango_cairo_show_layout(cr, layout_.get());
}

}  // namespace lumora::gtk
