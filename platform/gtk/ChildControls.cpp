#include "platform/gtk/ChildControls.h"

#include "platform/gtk/ImageControl.h"
#include "platform/gtk/LabelControl.h"
#include "platform/gtk/PictureControl.h"
#include "platform/gtk/SystemControls.h"
#include "platform/gtk/WebViewControl.h"

namespace lumora::gtk {

ChildControls::ChildControls(GtkWidget* board, WebViewGroup& webViews)
    : board_(board), webViews_(webViews) {}

ChildControls::~ChildControls() = default;

template <typename ControlType, typename... Args>
ControlType& ChildControls::Add(Args&... args) {
  auto control = std::make_unique<ControlType>(board_, args...);
  ControlType& added = *control;
  controls_.push_back(std::move(control));
  return added;
}

Picture& ChildControls::AddPicture() {
  return Add<PictureControl>(webViews_);
}

Label& ChildControls::AddLabel() {
  return Add<LabelControl>();
}

ImageBox& ChildControls::AddImage() {
  return Add<ImageControl>();
}

WebView& ChildControls::AddWebView() {
  return Add<WebViewControl>(webViews_);
}

CheckBox& ChildControls::AddCheckBox() {
  return Add<CheckBoxControl>();
}

Button& ChildControls::AddButton() {
  return Add<ButtonControl>();
}

}  // namespace lumora::gtk
