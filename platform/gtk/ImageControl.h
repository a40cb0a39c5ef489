#pragma once

#include "platform/gtk/WidgetControl.h"

namespace lumora::gtk {

// A passive image: shows its bitmap and takes the bitmap's size.
class ImageControl : public BoardControl<ImageBox> {
 public:
  explicit ImageControl(GtkWidget* parentBoard) : BoardControl<ImageBox>(parentBoard) {}

  void SetImage(const Bitmap& image) override;

 private:
  void PaintBoard(cairo_t* cr, int width, int height) override;

  Bitmap image_;
};

}  // namespace lumora::gtk
