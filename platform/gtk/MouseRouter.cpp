#include "platform/gtk/MouseRouter.h"

#include <cmath>

#include "platform/Raise.h"

namespace lumora::gtk {
namespace {

std::optional<MouseButton> ButtonOf(guint button) {
  switch (button) {
    case GDK_BUTTON_PRIMARY:
      return MouseButton::Left;
    case GDK_BUTTON_MIDDLE:
      return MouseButton::Middle;
    case GDK_BUTTON_SECONDARY:
      return MouseButton::Right;
    default:
      return std::nullopt;
  }
}

MouseEvent EventAt(MouseButton button, bool leftHeld, double x, double y) {
  return {button, leftHeld, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

void RaiseMouse(MouseHandler* handler, const MouseEvent& event) {
  if (handler) Raise(*handler, event);
}

}  // namespace

MouseRouter::MouseRouter(GtkWidget* board, MouseHandlers handlers)
    : board_(GTK_WIDGET(g_object_ref(board))), handlers_(handlers) {
  g_signal_connect(board, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(board, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(board, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(board, "enter-notify-event", G_CALLBACK(OnEnter), this);
  g_signal_connect(board, "leave-notify-event", G_CALLBACK(OnLeave), this);
}

MouseRouter::~MouseRouter() {
  g_signal_handlers_disconnect_by_data(board_.get(), this);
}

bool MouseRouter::IsOwn(GdkWindow* window) const {
  return window == gtk_widget_get_window(board_.get());
}

bool MouseRouter::Inside(int x, int y) const {
  return x >= 0 && y >= 0 && x < gtk_widget_get_allocated_width(board_.get()) &&
         y < gtk_widget_get_allocated_height(board_.get());
}

gboolean MouseRouter::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<MouseRouter*>(data);
  if (!self->IsOwn(event->window)) return FALSE;
  std::optional<MouseButton> button = ButtonOf(event->button);
  if (!button) return TRUE;
  if (event->type == GDK_2BUTTON_PRESS) {
    if (*button == MouseButton::Left && self->handlers_.doubleClick) {
      Raise(*self->handlers_.doubleClick);
    }
    return TRUE;
  }
  if (event->type != GDK_BUTTON_PRESS) return TRUE;
  self->lastPress_ = ButtonPress{event->button, static_cast<int>(event->x_root),
                                 static_cast<int>(event->y_root), event->time};
  if (*button == MouseButton::Left) self->leftPressed_ = true;
  RaiseMouse(self->handlers_.down,
             EventAt(*button, *button == MouseButton::Left, event->x, event->y));
  return TRUE;
}

gboolean MouseRouter::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<MouseRouter*>(data);
  if (!self->IsOwn(event->window)) return FALSE;
  std::optional<MouseButton> button = ButtonOf(event->button);
  if (!button) return TRUE;
  MouseEvent released = EventAt(*button, false, event->x, event->y);
  bool clicked =
      *button == MouseButton::Left && self->leftPressed_ && self->Inside(released.x, released.y);
  if (*button == MouseButton::Left) self->leftPressed_ = false;
  std::weak_ptr<char> alive = self->alive_;
  std::function<void()>* click = self->handlers_.click;
  RaiseMouse(self->handlers_.up, released);
  if (clicked && click && !alive.expired()) Raise(*click);
  return TRUE;
}

gboolean MouseRouter::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* self = static_cast<MouseRouter*>(data);
  if (!self->IsOwn(event->window)) return FALSE;
  bool leftHeld = (event->state & GDK_BUTTON1_MASK) != 0;
  RaiseMouse(self->handlers_.move, EventAt(MouseButton::Left, leftHeld, event->x, event->y));
  return TRUE;
}

gboolean MouseRouter::OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  auto* self = static_cast<MouseRouter*>(data);
  if (!self->IsOwn(event->window)) return FALSE;
  // Coming onto the board is a move over it, whether or not a motion follows.
  bool leftHeld = (event->state & GDK_BUTTON1_MASK) != 0;
  RaiseMouse(self->handlers_.move, EventAt(MouseButton::Left, leftHeld, event->x, event->y));
  return TRUE;
}

gboolean MouseRouter::OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  auto* self = static_cast<MouseRouter*>(data);
  // Moving onto a child control is no leave: the pointer is still within the board's area.
  if (!self->IsOwn(event->window) || event->detail == GDK_NOTIFY_INFERIOR) return FALSE;
  RaiseMouse(self->handlers_.move, MouseEvent{MouseButton::Left, false, -1, -1});
  return TRUE;
}

}  // namespace lumora::gtk
