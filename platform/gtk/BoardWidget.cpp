#include "platform/gtk/BoardWidget.h"

#include <gtk/gtk-a11y.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"

namespace lumora::gtk {
namespace {

constexpr gint kBoardEvents = GDK_EXPOSURE_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                              GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                              GDK_LEAVE_NOTIFY_MASK;

struct BoardChild {
  GtkWidget* widget;
  GdkRectangle area;
};

struct BoardState {
  std::vector<BoardChild> children;
  BoardPainter* painter = nullptr;
  GdkCursor* cursor = nullptr;
  AccessibleInfo accessible;
  std::function<void()> activate;
};

struct LumoraBoard {
  GtkContainer parent_instance;
  BoardState* state;
};

struct LumoraBoardClass {
  GtkContainerClass parent_class;
};

G_DEFINE_TYPE(LumoraBoard, lumora_board, GTK_TYPE_CONTAINER)

BoardState& StateOf(gpointer board) {
  return *G_TYPE_CHECK_INSTANCE_CAST(board, lumora_board_get_type(), LumoraBoard)->state;
}

// Copied first: the action may destroy the control that set it.
void RunActivate(GtkWidget* board) {
  std::function<void()> activate = StateOf(board).activate;
  if (activate && IsPressable(StateOf(board).accessible.role)) activate();
}

// The accessible of a board: its role and name are set on it; it adds the pressed or selected
// state and the activate action.
struct LumoraBoardAccessible {
  GtkContainerAccessible parent_instance;
};

struct LumoraBoardAccessibleClass {
  GtkContainerAccessibleClass parent_class;
};

void lumora_board_accessible_action_init(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(LumoraBoardAccessible, lumora_board_accessible,
                        GTK_TYPE_CONTAINER_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, lumora_board_accessible_action_init))

// The board of an accessible; null once the board is gone.
GtkWidget* BoardOf(gpointer accessible) {
  return gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
}

bool IsPressableBoard(GtkWidget* board) {
  return board && IsPressable(StateOf(board).accessible.role);
}

AtkRole AtkRoleOf(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::PushButton:
      return ATK_ROLE_PUSH_BUTTON;
    case AccessibleRole::ToggleButton:
      return ATK_ROLE_TOGGLE_BUTTON;
    case AccessibleRole::PageTab:
      return ATK_ROLE_PAGE_TAB;
    case AccessibleRole::Link:
      return ATK_ROLE_LINK;
    case AccessibleRole::PageTabList:
      return ATK_ROLE_PAGE_TAB_LIST;
    case AccessibleRole::Label:
      return ATK_ROLE_LABEL;
    case AccessibleRole::None:
      break;
  }
  return ATK_ROLE_PANEL;
}

// The state that "on" stands for in a role.
AtkStateType OnStateOf(AccessibleRole role) {
  return role == AccessibleRole::PageTab ? ATK_STATE_SELECTED : ATK_STATE_CHECKED;
}

AtkStateSet* lumora_board_accessible_ref_state_set(AtkObject* object) {
  AtkStateSet* states =
      ATK_OBJECT_CLASS(lumora_board_accessible_parent_class)->ref_state_set(object);
  GtkWidget* board = BoardOf(object);
  if (!IsPressableBoard(board)) return states;
  const AccessibleInfo& info = StateOf(board).accessible;
  if (info.role == AccessibleRole::PageTab) atk_state_set_add_state(states, ATK_STATE_SELECTABLE);
  if (info.role == AccessibleRole::ToggleButton && info.on) {
    atk_state_set_add_state(states, ATK_STATE_PRESSED);
  }
  if (info.on) atk_state_set_add_state(states, OnStateOf(info.role));
  return states;
}

gint lumora_board_accessible_n_actions(AtkAction* action) {
  return IsPressableBoard(BoardOf(action)) ? 1 : 0;
}

const gchar* lumora_board_accessible_action_name(AtkAction* action, gint index) {
  return IsPressableBoard(BoardOf(action)) && index == 0 ? "click" : nullptr;
}

gboolean RunActivateOnce(gpointer board) {
  RunActivate(GTK_WIDGET(board));
  return G_SOURCE_REMOVE;
}

// Run from the main loop: the caller's request must be answered before the action opens a menu
// or a dialog.
gboolean lumora_board_accessible_do_action(AtkAction* action, gint index) {
  GtkWidget* board = BoardOf(action);
  if (!IsPressableBoard(board) || index != 0) return FALSE;
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, RunActivateOnce, g_object_ref(board), g_object_unref);
  return TRUE;
}

void lumora_board_accessible_action_init(AtkActionIface* iface) {
  iface->get_n_actions = lumora_board_accessible_n_actions;
  iface->get_name = lumora_board_accessible_action_name;
  iface->do_action = lumora_board_accessible_do_action;
}

void lumora_board_accessible_init(LumoraBoardAccessible*) {}

void lumora_board_accessible_class_init(LumoraBoardAccessibleClass* accessible_class) {
  ATK_OBJECT_CLASS(accessible_class)->ref_state_set = lumora_board_accessible_ref_state_set;
}

bool IsActivateKey(guint key) {
  return key == GDK_KEY_Return || key == GDK_KEY_KP_Enter || key == GDK_KEY_ISO_Enter ||
         key == GDK_KEY_space || key == GDK_KEY_KP_Space;
}

gboolean lumora_board_key_press(GtkWidget* widget, GdkEventKey* event) {
  if (IsPressableBoard(widget) && IsActivateKey(event->keyval) &&
      (event->state & gtk_accelerator_get_default_mod_mask()) == 0) {
    RunActivate(widget);
    return TRUE;
  }
  return GTK_WIDGET_CLASS(lumora_board_parent_class)->key_press_event(widget, event);
}

GdkRectangle ToGdk(Rect area) {
  return {area.x, area.y, std::max(area.width, 0), std::max(area.height, 0)};
}

std::vector<BoardChild>::iterator FindChild(BoardState& state, GtkWidget* widget) {
  return std::find_if(state.children.begin(), state.children.end(),
                      [widget](const BoardChild& child) { return child.widget == widget; });
}

// Mapping a window raises it; put it back below the children that were added after it.
void KeepStackingOrder(GtkWidget* child, gpointer board) {
  BoardState& state = StateOf(board);
  auto it = FindChild(state, child);
  if (it == state.children.end() || !gtk_widget_get_has_window(child)) return;
  GdkWindow* window = gtk_widget_get_window(child);
  if (window == nullptr) return;
  for (auto later = it + 1; later != state.children.end(); ++later) {
    if (!gtk_widget_get_realized(later->widget) || !gtk_widget_get_has_window(later->widget)) {
      continue;
    }
    // Only windows with the same parent can be stacked against each other.
    GdkWindow* sibling = gtk_widget_get_window(later->widget);
    if (gdk_window_get_parent(sibling) != gdk_window_get_parent(window)) continue;
    gdk_window_restack(window, sibling, FALSE);
    return;
  }
}

void lumora_board_init(LumoraBoard* board) {
  board->state = new BoardState();
  gtk_widget_set_has_window(GTK_WIDGET(board), TRUE);
}

void lumora_board_finalize(GObject* object) {
  BoardState* state = &StateOf(object);
  if (state->cursor) g_object_unref(state->cursor);
  delete state;
  G_OBJECT_CLASS(lumora_board_parent_class)->finalize(object);
}

void lumora_board_realize(GtkWidget* widget) {
  // The web engine raises "realize" again on the ancestors of a view it realizes, even when they
  // are realized: a second window would orphan the children realized under the first.
  if (gtk_widget_get_realized(widget) && gtk_widget_get_window(widget)) return;
  BoardState& state = StateOf(widget);
  gtk_widget_set_realized(widget, TRUE);
  GtkAllocation allocation;
  gtk_widget_get_allocation(widget, &allocation);
  GdkWindowAttr attributes{};
  attributes.window_type = GDK_WINDOW_CHILD;
  attributes.x = allocation.x;
  attributes.y = allocation.y;
  attributes.width = allocation.width;
  attributes.height = allocation.height;
  attributes.wclass = GDK_INPUT_OUTPUT;
  attributes.visual = gtk_widget_get_visual(widget);
  attributes.event_mask = gtk_widget_get_events(widget) | kBoardEvents;
  GdkWindow* window = gdk_window_new(gtk_widget_get_parent_window(widget), &attributes,
                                     GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL);
  gtk_widget_set_window(widget, window);
  gtk_widget_register_window(widget, window);
  gdk_window_set_cursor(window, state.cursor);
  // Child windows are stacked in the order they are created: create them in the order added.
  for (const BoardChild& child : state.children) gtk_widget_realize(child.widget);
}

void lumora_board_size_allocate(GtkWidget* widget, GtkAllocation* allocation) {
  gtk_widget_set_allocation(widget, allocation);
  if (gtk_widget_get_realized(widget)) {
    gdk_window_move_resize(gtk_widget_get_window(widget), allocation->x, allocation->y,
                           allocation->width, allocation->height);
  }
  for (const BoardChild& child : StateOf(widget).children) {
    if (!gtk_widget_get_visible(child.widget)) continue;
    GtkRequisition unused;
    gtk_widget_get_preferred_size(child.widget, &unused, nullptr);
    GtkAllocation area = child.area;
    gtk_widget_size_allocate(child.widget, &area);
  }
}

void lumora_board_no_size(GtkWidget*, gint* minimum, gint* natural) {
  *minimum = 0;
  *natural = 0;
}

constexpr const char* kFocusRingKey = "lumora-focus-ring";

// A one-pixel line just inside the board's edge, over its surface and children, while it has the
// focus and the keyboard has been used in its window.
void PaintFocusRing(GtkWidget* widget, cairo_t* cr) {
  if (!IsPressableBoard(widget) || !gtk_widget_has_visible_focus(widget)) return;
  auto* ring = static_cast<Color*>(
      g_object_get_data(G_OBJECT(gtk_widget_get_toplevel(widget)), kFocusRingKey));
  if (!ring) return;
  SetSourceColor(cr, *ring);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, 0.5, 0.5, gtk_widget_get_allocated_width(widget) - 1,
                  gtk_widget_get_allocated_height(widget) - 1);
  cairo_stroke(cr);
}

constexpr const char* kOpaque = "lumora-board-opaque";

bool ChildrenPaintAll(GtkWidget* board, const GdkRectangle& area);

// Whether the widget is shown and paints every pixel of the area (in its parent board's window):
// an opaque widget covering it, or a board one of whose children does.
bool PaintsAll(GtkWidget* widget, const GdkRectangle& area) {
  if (!gtk_widget_is_drawable(widget)) return false;
  GtkAllocation box;
  gtk_widget_get_allocation(widget, &box);
  GdkRectangle both;
  if (!gdk_rectangle_intersect(&box, &area, &both) || !gdk_rectangle_equal(&both, &area)) {
    return false;
  }
  if (g_object_get_data(G_OBJECT(widget), kOpaque)) return true;
  if (!G_TYPE_CHECK_INSTANCE_TYPE(widget, lumora_board_get_type())) return false;
  return ChildrenPaintAll(widget, {area.x - box.x, area.y - box.y, area.width, area.height});
}

bool ChildrenPaintAll(GtkWidget* board, const GdkRectangle& area) {
  const std::vector<BoardChild>& children = StateOf(board).children;
  return std::ranges::any_of(
      children, [&](const BoardChild& child) { return PaintsAll(child.widget, area); });
}

gboolean lumora_board_draw(GtkWidget* widget, cairo_t* cr) {
  BoardState& state = StateOf(widget);
  bool own = gtk_cairo_should_draw_window(cr, gtk_widget_get_window(widget));
  GdkRectangle clip;
  bool hidden = !gdk_cairo_get_clip_rectangle(cr, &clip) || ChildrenPaintAll(widget, clip);
  if (state.painter && own && !hidden) {
    cairo_save(cr);
    state.painter->PaintBoard(cr, gtk_widget_get_allocated_width(widget),
                              gtk_widget_get_allocated_height(widget));
    cairo_restore(cr);
  }
  GTK_WIDGET_CLASS(lumora_board_parent_class)->draw(widget, cr);
  if (own) PaintFocusRing(widget, cr);
  return FALSE;
}

// Until the keyboard is used in the window, focus moves pass the boards by: the focus a window
// takes when it is shown stays with its first web view, as for a mouse user it always has.
// Entered from outside, a board starts at its first control (or, backwards, its last), not at the
// one inside it that had the focus before, as GTK's containers would: Tab and Shift+Tab then walk
// the same order both ways.
gboolean lumora_board_focus(GtkWidget* widget, GtkDirectionType direction) {
  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  GtkWidget* focus = GTK_IS_WINDOW(toplevel) ? gtk_window_get_focus(GTK_WINDOW(toplevel)) : nullptr;
  if (!focus || !gtk_widget_is_ancestor(focus, widget)) {
    gtk_container_set_focus_child(GTK_CONTAINER(widget), nullptr);
  }
  bool keyboardUsed = GTK_IS_WINDOW(toplevel) && gtk_window_get_focus_visible(GTK_WINDOW(toplevel));
  if (keyboardUsed || !gtk_widget_get_can_focus(widget)) {
    return GTK_WIDGET_CLASS(lumora_board_parent_class)->focus(widget, direction);
  }
  gtk_widget_set_can_focus(widget, FALSE);
  gboolean moved = GTK_WIDGET_CLASS(lumora_board_parent_class)->focus(widget, direction);
  gtk_widget_set_can_focus(widget, TRUE);
  return moved;
}

// The ring comes and goes with the focus.
gboolean lumora_board_focus_change(GtkWidget* widget, GdkEventFocus*) {
  gtk_widget_queue_draw(widget);
  return FALSE;
}

void lumora_board_add(GtkContainer* container, GtkWidget* child) {
  BoardPut(GTK_WIDGET(container), child, Rect{});
}

void lumora_board_remove(GtkContainer* container, GtkWidget* child) {
  BoardState& state = StateOf(container);
  auto it = FindChild(state, child);
  if (it == state.children.end()) return;
  g_signal_handlers_disconnect_by_func(child, reinterpret_cast<gpointer>(KeepStackingOrder),
                                       container);
  bool wasVisible = gtk_widget_get_visible(child);
  state.children.erase(it);
  gtk_widget_unparent(child);
  if (wasVisible) gtk_widget_queue_resize(GTK_WIDGET(container));
}

void lumora_board_forall(GtkContainer* container, gboolean, GtkCallback callback, gpointer data) {
  // The callback may remove the child it is given (destruction does), so walk a copy.
  std::vector<GtkWidget*> widgets;
  for (const BoardChild& child : StateOf(container).children) widgets.push_back(child.widget);
  for (GtkWidget* widget : widgets) callback(widget, data);
}

GType lumora_board_child_type(GtkContainer*) {
  return GTK_TYPE_WIDGET;
}

void lumora_board_class_init(LumoraBoardClass* board_class) {
  G_OBJECT_CLASS(board_class)->finalize = lumora_board_finalize;
  GtkWidgetClass* widget_class = GTK_WIDGET_CLASS(board_class);
  widget_class->realize = lumora_board_realize;
  widget_class->size_allocate = lumora_board_size_allocate;
  widget_class->get_preferred_width = lumora_board_no_size;
  widget_class->get_preferred_height = lumora_board_no_size;
  widget_class->draw = lumora_board_draw;
  widget_class->key_press_event = lumora_board_key_press;
  widget_class->focus = lumora_board_focus;
  widget_class->focus_in_event = lumora_board_focus_change;
  widget_class->focus_out_event = lumora_board_focus_change;
  gtk_widget_class_set_accessible_type(widget_class, lumora_board_accessible_get_type());
  GtkContainerClass* container_class = GTK_CONTAINER_CLASS(board_class);
  container_class->add = lumora_board_add;
  container_class->remove = lumora_board_remove;
  container_class->forall = lumora_board_forall;
  container_class->child_type = lumora_board_child_type;
}

}  // namespace

void BoardMarkOpaque(GtkWidget* child) {
  g_object_set_data(G_OBJECT(child), kOpaque, GINT_TO_POINTER(TRUE));
}

GtkWidget* BoardNew(BoardPainter* painter) {
  GtkWidget* board = GTK_WIDGET(g_object_new(lumora_board_get_type(), nullptr));
  StateOf(board).painter = painter;
  return board;
}

void BoardSetPainter(GtkWidget* board, BoardPainter* painter) {
  StateOf(board).painter = painter;
}

void BoardPut(GtkWidget* board, GtkWidget* child, Rect area) {
  StateOf(board).children.push_back({child, ToGdk(area)});
  g_signal_connect_after(child, "map", G_CALLBACK(KeepStackingOrder), board);
  gtk_widget_set_parent(child, board);
  if (gtk_widget_get_realized(board)) gtk_widget_realize(child);
}

void BoardPlace(GtkWidget* board, GtkWidget* child, Rect area) {
  BoardState& state = StateOf(board);
  auto it = FindChild(state, child);
  if (it == state.children.end()) return;
  it->area = ToGdk(area);
  if (gtk_widget_get_visible(child)) gtk_widget_queue_allocate(board);
}

void BoardSetCursor(GtkWidget* board, GdkCursor* cursor) {
  BoardState& state = StateOf(board);
  if (cursor) g_object_ref(cursor);
  if (state.cursor) g_object_unref(state.cursor);
  state.cursor = cursor;
  if (gtk_widget_get_realized(board)) gdk_window_set_cursor(gtk_widget_get_window(board), cursor);
}

void BoardSetAccessible(GtkWidget* board, const AccessibleInfo& info) {
  BoardState& state = StateOf(board);
  bool wasOn = state.accessible.on;
  state.accessible = info;
  gtk_widget_set_can_focus(board, IsPressable(info.role));
  AtkObject* accessible = gtk_widget_get_accessible(board);
  atk_object_set_role(accessible, AtkRoleOf(info.role));
  atk_object_set_name(accessible, info.name.c_str());
  if (wasOn != info.on) atk_object_notify_state_change(accessible, OnStateOf(info.role), info.on);
}

void BoardSetFocusRing(GtkWidget* toplevel, Color color) {
  g_object_set_data_full(G_OBJECT(toplevel), kFocusRingKey, new Color(color),
                         [](gpointer ring) { delete static_cast<Color*>(ring); });
}

void BoardSetActivate(GtkWidget* board, std::function<void()> activate) {
  StateOf(board).activate = std::move(activate);
}

}  // namespace lumora::gtk
