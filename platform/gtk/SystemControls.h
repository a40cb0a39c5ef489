#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/gtk/WidgetControl.h"

namespace lumora::gtk {

// The toolkit's own check box and push button, so they take the focus, the keyboard and the
// desktop's look. They raise onClick only; the theme chooses their pointer.
class CheckBoxControl : public WidgetControl<CheckBox> {
 public:
  explicit CheckBoxControl(GtkWidget* parentBoard);

  void SetPointer(PointerShape) override {}
  void SetCaption(const std::string& text) override;
  std::string Caption() const override { return caption_; }
  void SetChecked(bool checked) override;
  bool Checked() const override;
  void SetFont(const Font& font) override;

 private:
  static void OnToggled(GtkToggleButton* button, gpointer self);

  GObjectPtr<GtkCssProvider> style_;
  std::string caption_;
  bool settingState_ = false;
};

class ButtonControl : public WidgetControl<Button> {
 public:
  explicit ButtonControl(GtkWidget* parentBoard);

  void SetPointer(PointerShape) override {}
  void SetCaption(const std::string& text) override;
  std::string Caption() const override { return caption_; }
  void SetFont(const Font& font) override;

 private:
  static void OnClicked(GtkButton* button, gpointer self);

  GObjectPtr<GtkCssProvider> style_;
  std::string caption_;
};

// A caption with "&" access keys in the toolkit's form, "_" before the key letter.
std::string MnemonicCaption(const std::string& caption);

}  // namespace lumora::gtk
