#include "platform/gtk/PictureControl.h"

namespace lumora::gtk {

PictureControl::PictureControl(GtkWidget* parentBoard, WebViewGroup& webViews)
    : BoardControl<Picture>(parentBoard), children_(Widget(), webViews) {}

void PictureControl::SetGeometry(Rect geometry) {
  if (backColor_ && geometry.Extent() != surface_.Extent()) surface_ = Bitmap();
  BoardControl<Picture>::SetGeometry(geometry);
}

void PictureControl::SetBackColor(Color color) {
  backColor_ = color;
  surface_ = Bitmap();
  Refresh();
}

Bitmap& PictureControl::Surface() {
  Size size = Geometry().Extent();
  if (!surface_.Empty() && surface_.Extent() == size) return surface_;
  if (surface_.Empty()) {
    surface_ = Bitmap(size, gtk_widget_get_scale_factor(Widget()));
    if (backColor_) surface_.Fill(*backColor_);
  } else {
    surface_.Resize(size);
  }
  return surface_;
}

void PictureControl::PaintBoard(cairo_t* cr, int, int) {
  if (backColor_) {
    SetSourceColor(cr, *backColor_);
    cairo_paint(cr);
  }
  if (surface_.Empty()) return;
  cairo_set_source_surface(cr, surface_.Surface(), 0, 0);
  cairo_paint(cr);
}

}  // namespace lumora::gtk
