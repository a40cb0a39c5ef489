#pragma once

#include <pango/pango.h>

#include <optional>

#include "platform/gtk/WidgetControl.h"

namespace lumora::gtk {

// Text drawn with Pango in the label's font and colours. Without a back colour the label is
// transparent; with auto size on it takes the size of its text at once.
class LabelControl : public BoardControl<Label> {
 public:
  explicit LabelControl(GtkWidget* parentBoard);

  void SetCaption(const std::string& text) override;
  std::string Caption() const override { return caption_; }
  void SetForeColor(Color color) override;
  Color ForeColor() const override { return foreColor_; }
  void SetBackColor(Color color) override;
  void SetFont(const Font& font) override;
  Font GetFont() const override { return font_; }
  void SetAutoSize(bool autoSize) override;

 private:
  void PaintBoard(cairo_t* cr, int width, int height) override;
  void ApplyFont();
  void FitToText();

  GObjectPtr<PangoLayout> layout_;
  std::string caption_;
  Color foreColor_;
  std::optional<Color> backColor_;
  Font font_;
  bool autoSize_ = false;
};

}  // namespace lumora::gtk
