#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/Controls.h"

namespace lumora::gtk {

class WebViewGroup;

// The controls placed on one board (a window's surface or a picture), owned here in the order
// they were added.
class ChildControls : public Container {
 public:
  ChildControls(GtkWidget* board, WebViewGroup& webViews);
  ~ChildControls() override;
  ChildControls(const ChildControls&) = delete;
  ChildControls& operator=(const ChildControls&) = delete;

  Picture& AddPicture() override;
  Label& AddLabel() override;
  ImageBox& AddImage() override;
  WebView& AddWebView() override;
  CheckBox& AddCheckBox() override;
  Button& AddButton() override;

 private:
  template <typename ControlType, typename... Args>
  ControlType& Add(Args&... args);

  GtkWidget* board_;
  WebViewGroup& webViews_;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace lumora::gtk
