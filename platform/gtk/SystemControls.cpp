#include "platform/gtk/SystemControls.h"

#include <sstream>

#include "platform/Raise.h"

namespace lumora::gtk {
namespace {

// The family list "A, B C" as CSS wants it: every name quoted.
std::string CssFamilies(const std::string& families) {
  std::ostringstream css;
  std::istringstream names(families);
  std::string name;
  const char* separator = "";
  while (std::getline(names, name, ',')) {
    size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    css << separator << '"' << name.substr(first, name.find_last_not_of(' ') - first + 1) << '"';
    separator = ", ";
  }
  return css.str();
}

// The font, and room for the design sizes: the theme's paddings and minimum sizes are meant for
// larger controls than these forms place.
GObjectPtr<GtkCssProvider> StyleWidget(GtkWidget* widget) {
  GObjectPtr<GtkCssProvider> style(gtk_css_provider_new());
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget),
                                 GTK_STYLE_PROVIDER(style.get()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  return style;
}

void LoadFont(GtkCssProvider* style, const Font& font, const char* selectorsAndRoom) {
  std::ostringstream css;
  css << "* { font-family: " << CssFamilies(font.family) << "; font-size: " << font.points
      << "pt; font-weight: " << (font.bold ? "bold" : "normal") << "; }\n"
      << selectorsAndRoom;
  gtk_css_provider_load_from_data(style, css.str().c_str(), -1, nullptr);
}

constexpr const char* kCheckBoxRoom =
    "checkbutton { padding: 0; min-height: 0; }\n"
    "check { margin: 0 4px 0 0; min-width: 13px; min-height: 13px; }";
constexpr const char* kButtonRoom = "button { padding: 0 4px; min-height: 0; }";

}  // namespace

std::string MnemonicCaption(const std::string& caption) {
  std::string result;
  for (size_t at = 0; at < caption.size(); ++at) {
    if (caption[at] == '_') {
      result += "__";
    } else if (caption[at] == '&' && at + 1 < caption.size()) {
      ++at;
      if (caption[at] != '&') result += '_';
      result += caption[at];
    } else {
      result += caption[at];
    }
  }
  return result;
}

CheckBoxControl::CheckBoxControl(GtkWidget* parentBoard)
    : WidgetControl<CheckBox>(parentBoard, gtk_check_button_new_with_label("")),
      style_(StyleWidget(Widget())) {
  LoadFont(style_.get(), Font{}, kCheckBoxRoom);
  g_signal_connect(Widget(), "toggled", G_CALLBACK(OnToggled), this);
}

void CheckBoxControl::SetCaption(const std::string& text) {
  caption_ = text;
  gtk_button_set_label(GTK_BUTTON(Widget()), text.c_str());
}

void CheckBoxControl::SetChecked(bool checked) {
  settingState_ = true;
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Widget()), checked);
  settingState_ = false;
}

bool CheckBoxControl::Checked() const {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Widget()));
}

void CheckBoxControl::SetFont(const Font& font) {
  LoadFont(style_.get(), font, kCheckBoxRoom);
}

void CheckBoxControl::OnToggled(GtkToggleButton*, gpointer self) {
  auto* control = static_cast<CheckBoxControl*>(self);
  if (!control->settingState_) Raise(control->onClick);
}

ButtonControl::ButtonControl(GtkWidget* parentBoard)
    : WidgetControl<Button>(parentBoard, gtk_button_new_with_mnemonic("")),
      style_(StyleWidget(Widget())) {
  LoadFont(style_.get(), Font{}, kButtonRoom);
  g_signal_connect(Widget(), "clicked", G_CALLBACK(OnClicked), this);
}

void ButtonControl::SetCaption(const std::string& text) {
  caption_ = text;
  gtk_button_set_label(GTK_BUTTON(Widget()), MnemonicCaption(text).c_str());
}

void ButtonControl::SetFont(const Font& font) {
  LoadFont(style_.get(), font, kButtonRoom);
}

void ButtonControl::OnClicked(GtkButton*, gpointer self) {
  Raise(static_cast<ButtonControl*>(self)->onClick);
}

}  // namespace lumora::gtk
