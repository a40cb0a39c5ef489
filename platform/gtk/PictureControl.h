#pragma once

#include <optional>

#include "platform/gtk/ChildControls.h"
#include "platform/gtk/WidgetControl.h"

namespace lumora::gtk {

// A picture box: a surface kept at the control's size, painted under its child controls, which
// it clips. With a back colour, the surface is cleared to it whenever the size changes. Most
// pictures are plain coloured panels, so the surface is only made once something paints on it.
class PictureControl : public BoardControl<Picture> {
 public:
  PictureControl(GtkWidget* parentBoard, WebViewGroup& webViews);

  void SetGeometry(Rect geometry) override;
  void SetBackColor(Color color) override;
  Bitmap& Surface() override;
  void Refresh() override { gtk_widget_queue_draw(Widget()); }

  Picture& AddPicture() override { return children_.AddPicture(); }
  Label& AddLabel() override { return children_.AddLabel(); }
  ImageBox& AddImage() override { return children_.AddImage(); }
  WebView& AddWebView() override { return children_.AddWebView(); }
  CheckBox& AddCheckBox() override { return children_.AddCheckBox(); }
  Button& AddButton() override { return children_.AddButton(); }

 private:
  void PaintBoard(cairo_t* cr, int width, int height) override;

  Bitmap surface_;  // empty until first asked for
  std::optional<Color> backColor_;
  ChildControls children_;
};

}  // namespace lumora::gtk
