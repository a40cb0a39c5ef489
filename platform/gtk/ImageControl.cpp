#include "platform/gtk/ImageControl.h"

namespace lumora::gtk {

void ImageControl::SetImage(const Bitmap& image) {
  image_ = image;
  Rect geometry = Geometry();
  SetGeometry({geometry.x, geometry.y, image.Extent().width, image.Extent().height});
  gtk_widget_queue_draw(Widget());
}

void ImageControl::PaintBoard(cairo_t* cr, int, int) {
  if (image_.Empty()) return;
  cairo_set_source_surface(cr, image_.Surface(), 0, 0);
  cairo_paint(cr);
}

}  // namespace lumora::gtk
