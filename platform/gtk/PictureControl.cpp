#include "platform/gtk/PictureControl.h"

namespace lumora::gtk {

PictureControl::PictureControl(GtkWidget* parentBoard, WebViewGroup& webViews)
    : BoardControl<Picture>(parentBoard), children_(Widget(), webViews) {}

void PictureControl::SetGeometry(Rect geometry) {
  if (backColor_ && geometry.Extent() != surface_.Extent()) {
    surface_ = Bitmap(geometry.Extent());
    surface_.Fill(*backColor_);
  } else {
    surface_.Resize(geometry.Extent());
  }
  BoardControl<Picture>::SetGeometry(geometry);
}

void PictureControl::SetBackColor(Color color) {
  backColor_ = color;
  surface_.Fill(color);
  Refresh();
}

void PictureControl::PaintBoard(cairo_t* cr, int, int) {
  cairo_set_source_surface(cr, surface_.Surface(), 0, 0);
  cairo_paint(cr);
}

}  // namespace lumora::gtk
