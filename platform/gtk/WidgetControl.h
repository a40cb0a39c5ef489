#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/Controls.h"
#include "platform/gtk/BoardWidget.h"
#include "platform/gtk/Cursors.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/MouseRouter.h"

namespace lumora::gtk {

// What every control does with its widget: placing it on its parent board, showing and hiding
// it, keeping its tooltip text. The tooltip is only kept: the program draws its own tooltips.
template <typename Interface>
class WidgetControl : public Interface {
 public:
  // Takes the widget's floating reference, puts it on the parent board and shows it.
  WidgetControl(GtkWidget* parentBoard, GtkWidget* widget)
      : parentBoard_(parentBoard), widget_(GTK_WIDGET(g_object_ref_sink(widget))) {
    BoardPut(parentBoard_, widget, geometry_);
    gtk_widget_show(widget);
  }
  WidgetControl(const WidgetControl&) = delete;
  WidgetControl& operator=(const WidgetControl&) = delete;

  void SetGeometry(Rect geometry) override {
    geometry_ = geometry;
    BoardPlace(parentBoard_, widget_.get(), geometry);
  }
  Rect Geometry() const override { return geometry_; }
  void SetVisible(bool visible) override { gtk_widget_set_visible(widget_.get(), visible); }
  bool Visible() const override { return gtk_widget_get_visible(widget_.get()); }
  void SetTooltip(const std::string& text) override { tooltip_ = text; }
  std::string Tooltip() const override { return tooltip_; }
  // The system's widgets keep the role and state GTK gives them; they take the name.
  void SetAccessible(const AccessibleInfo& info) override {
    accessible_ = info;
    atk_object_set_name(gtk_widget_get_accessible(widget_.get()), info.name.c_str());
  }
  AccessibleInfo Accessible() const override { return accessible_; }

  GtkWidget* Widget() const { return widget_.get(); }

 private:
  GtkWidget* parentBoard_;
  GObjectPtr<GtkWidget> widget_;
  Rect geometry_;
  std::string tooltip_;
  AccessibleInfo accessible_;
};

// A control drawn by the backend itself on a board of its own: it paints its surface, takes
// its own pointer shape and raises the mouse events of Control.
template <typename Interface>
class BoardControl : protected BoardPainter, public WidgetControl<Interface> {
 public:
  explicit BoardControl(GtkWidget* parentBoard)
      : WidgetControl<Interface>(parentBoard, BoardNew(this)),
        mouse_(this->Widget(),
               {&this->onMouseDown, &this->onMouseMove, &this->onMouseUp, &this->onClick}) {
    BoardSetActivate(this->Widget(), [this] {
      if (this->onClick) this->onClick();
    });
  }
  ~BoardControl() override {
    BoardSetPainter(this->Widget(), nullptr);
    BoardSetActivate(this->Widget(), nullptr);
  }

  void SetPointer(PointerShape shape) override { BoardSetCursor(this->Widget(), CursorFor(shape)); }
  void SetAccessible(const AccessibleInfo& info) override {
    WidgetControl<Interface>::SetAccessible(info);
    BoardSetAccessible(this->Widget(), info);
  }

 private:
  MouseRouter mouse_;
};

}  // namespace lumora::gtk
