#include "platform/gtk/GtkTopWindow.h"

#include <algorithm>
#include <utility>

#include "platform/Raise.h"
#include "platform/gtk/Cursors.h"
#include "platform/gtk/KeyRouter.h"
#include "platform/gtk/WindowRegion.h"

namespace lumora::gtk {
namespace {

// How often a system size loop is looked at for its end: the window manager holds the pointer
// during the loop and takes the release, so the window gets no event for it.
constexpr guint kReleaseWatchMs = 50;

GdkWindowEdge EdgeFor(HitCode edge) {
  switch (edge) {
    case HitCode::Left:
      return GDK_WINDOW_EDGE_WEST;
    case HitCode::Right:
      return GDK_WINDOW_EDGE_EAST;
    case HitCode::Top:
      return GDK_WINDOW_EDGE_NORTH;
    case HitCode::TopLeft:
      return GDK_WINDOW_EDGE_NORTH_WEST;
    case HitCode::TopRight:
      return GDK_WINDOW_EDGE_NORTH_EAST;
    case HitCode::Bottom:
      return GDK_WINDOW_EDGE_SOUTH;
    case HitCode::BottomLeft:
      return GDK_WINDOW_EDGE_SOUTH_WEST;
    case HitCode::BottomRight:
    case HitCode::Caption:  // a move, never asked for here
      break;
  }
  return GDK_WINDOW_EDGE_SOUTH_EAST;
}

WindowState StateFrom(GdkWindowState state) {
  if (state & GDK_WINDOW_STATE_ICONIFIED) return WindowState::Minimized;
  if (state & GDK_WINDOW_STATE_MAXIMIZED) return WindowState::Maximized;
  return WindowState::Normal;
}

}  // namespace

GtkTopWindow::GtkTopWindow()
    : window_(GTK_WIDGET(g_object_ref(gtk_window_new(GTK_WINDOW_TOPLEVEL)))),
      board_(GTK_WIDGET(g_object_ref_sink(BoardNew(this)))) {
  GtkWindow* window = Handle();
  gtk_window_set_decorated(window, FALSE);
  gtk_widget_set_app_paintable(window_.get(), TRUE);
  gtk_container_add(GTK_CONTAINER(window), board_.get());
  gtk_widget_show(board_.get());
  // Drawn at the screen's scale, so the chrome painted into it stays sharp on a scaled screen.
  surface_ = Bitmap(Size{}, gtk_widget_get_scale_factor(window_.get()));
  controls_ = std::make_unique<ChildControls>(board_.get(), SharedWebViews());
  mouse_ = std::make_unique<MouseRouter>(
      board_.get(), MouseHandlers{&onMouseDown, &onMouseMove, &onMouseUp, nullptr, &onDoubleClick});
  g_signal_connect(window, "configure-event", G_CALLBACK(OnConfigure), this);
  g_signal_connect(window, "window-state-event", G_CALLBACK(OnWindowState), this);
  g_signal_connect(window, "map-event", G_CALLBACK(OnMap), this);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect(window, "size-allocate", G_CALLBACK(OnSizeAllocate), this);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), this);
}

gboolean GtkTopWindow::OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self) {
  return static_cast<GtkTopWindow*>(self)->keys_.Route(GTK_WINDOW(widget), event);
}

GtkTopWindow::~GtkTopWindow() {
  if (releaseWatch_) g_source_remove(releaseWatch_);
  if (frameWatch_) g_signal_handler_disconnect(frameClock_.get(), frameWatch_);
  // The controls go first, so no program handler runs while the window is taken down.
  controls_.reset();
  mouse_.reset();
  g_signal_handlers_disconnect_by_data(window_.get(), this);
  BoardSetPainter(board_.get(), nullptr);
  gtk_widget_destroy(window_.get());
}

void GtkTopWindow::SetTitle(const std::string& title) {
  gtk_window_set_title(Handle(), title.c_str());
}

void GtkTopWindow::SetIcon(const Bitmap& icon) {
  if (icon.Empty()) return;
  GObjectPtr<GdkPixbuf> pixbuf(
      gdk_pixbuf_get_from_surface(icon.Surface(), 0, 0, icon.Extent().width, icon.Extent().height));
  if (pixbuf) gtk_window_set_icon(Handle(), pixbuf.get());
}

void GtkTopWindow::SetBounds(Rect bounds) {
  bounds_.x = bounds.x;
  bounds_.y = bounds.y;
  Size size{std::max(bounds.width, 1), std::max(bounds.height, 1)};
  gtk_window_move(Handle(), bounds.x, bounds.y);
  gtk_window_resize(Handle(), size.width, size.height);
  sizeReports_.Asked(size);
  TakeSize(bounds.Extent());
}

void GtkTopWindow::SetState(WindowState state) {
  GtkWindow* window = Handle();
  switch (state) {
    case WindowState::Minimized:
      gtk_window_iconify(window);
      break;
    case WindowState::Maximized:
      if (state_ == WindowState::Normal) normalBounds_ = bounds_;
      gtk_window_deiconify(window);
      gtk_window_maximize(window);
      break;
    case WindowState::Normal:
      gtk_window_deiconify(window);
      gtk_window_unmaximize(window);
      if (state_ == WindowState::Maximized) TakeRestoredBounds();
      break;
  }
}

// The window manager puts a restored window back at its size from before maximising, but only
// reports it later; the program centres the window right after restoring and must see that size.
void GtkTopWindow::TakeRestoredBounds() {
  state_ = WindowState::Normal;
  bounds_.x = normalBounds_.x;
  bounds_.y = normalBounds_.y;
  sizeReports_.Asked(normalBounds_.Extent());
  TakeSize(normalBounds_.Extent());
}

void GtkTopWindow::Show() {
  gtk_widget_show(window_.get());
  RaiseResizeOnFirstShow();
}

void GtkTopWindow::Hide() {
  gtk_widget_hide(window_.get());
}

bool GtkTopWindow::IsShown() const {
  return gtk_widget_get_visible(window_.get());
}

void GtkTopWindow::Present() {
  gtk_widget_show(window_.get());
  gtk_window_present(Handle());
  RaiseResizeOnFirstShow();
}

void GtkTopWindow::SetAlwaysOnTop(bool onTop) {
  alwaysOnTop_ = onTop;
  gtk_window_set_keep_above(Handle(), onTop);
}

void GtkTopWindow::SetOwner(TopWindow& owner) {
  gtk_window_set_transient_for(Handle(), static_cast<GtkTopWindow&>(owner).Handle());
  gtk_window_set_skip_taskbar_hint(Handle(), true);
}

void GtkTopWindow::SetPassive(bool passive) {
  passive_ = passive;
  GtkWindow* window = Handle();
  gtk_window_set_skip_taskbar_hint(window, passive);
  gtk_window_set_skip_pager_hint(window, passive);
  gtk_window_set_accept_focus(window, !passive);
  gtk_window_set_focus_on_map(window, !passive);
}

void GtkTopWindow::SetKind(WindowKind kind) {
  kind_ = kind;
  gtk_window_set_type_hint(Handle(), kind == WindowKind::Notification
                                         ? GDK_WINDOW_TYPE_HINT_NOTIFICATION
                                         : GDK_WINDOW_TYPE_HINT_NORMAL);
}

void GtkTopWindow::SetRegion(const RoundedRegion& region) {
  region_ = region;
  ApplyRegion();
}

void GtkTopWindow::SetPointer(PointerShape shape) {
  pointer_ = shape;
  BoardSetCursor(board_.get(), CursorFor(shape));
}

void GtkTopWindow::BeginSystemMove() {
  ButtonPress press = PressForSystemLoop();
  gtk_window_begin_move_drag(Handle(), static_cast<gint>(press.button), press.rootX, press.rootY,
                             press.time);
}

void GtkTopWindow::BeginSystemSize(HitCode edge) {
  if (edge == HitCode::Caption) return BeginSystemMove();
  ButtonPress press = PressForSystemLoop();
  gtk_window_begin_resize_drag(Handle(), EdgeFor(edge), static_cast<gint>(press.button),
                               press.rootX, press.rootY, press.time);
  WatchForRelease(press.button);
}

void GtkTopWindow::WatchForRelease(guint button) {
  loopButton_ = button;
  if (!releaseWatch_) releaseWatch_ = g_timeout_add(kReleaseWatchMs, OnReleaseWatch, this);
}

bool GtkTopWindow::ButtonHeld(guint button) const {
  if (button < 1 || button > 5) return false;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_.get()));
  GdkModifierType mask{};
  gdk_device_get_state(gdk_seat_get_pointer(seat),
                       gdk_screen_get_root_window(gtk_widget_get_screen(window_.get())), nullptr,
                       &mask);
  return (mask & (GDK_BUTTON1_MASK << (button - 1))) != 0;
}

gboolean GtkTopWindow::OnReleaseWatch(gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  if (self->ButtonHeld(self->loopButton_)) return G_SOURCE_CONTINUE;
  self->releaseWatch_ = 0;
  Raise(self->onSystemSizeEnd);
  return G_SOURCE_REMOVE;
}

void GtkTopWindow::SetMaximizedBounds(Rect bounds) {
  // The window manager maximises to its work area; the hint keeps drags within the bounds too.
  maximizedSize_ = bounds.Extent();
  GdkGeometry hints{};
  hints.max_width = bounds.width;
  hints.max_height = bounds.height;
  gtk_window_set_geometry_hints(Handle(), nullptr, &hints, GDK_HINT_MAX_SIZE);
}

void GtkTopWindow::Refresh() {
  gtk_widget_queue_draw(board_.get());
}

void GtkTopWindow::PaintBoard(cairo_t* cr, int, int) {
  cairo_set_source_surface(cr, surface_.Surface(), 0, 0);
  cairo_paint(cr);
}

void GtkTopWindow::TakeSize(Size size) {
  if (size == ClientSize()) return;
  bounds_.width = size.width;
  bounds_.height = size.height;
  surface_.Resize(size);
  Raise(onResize);
}

void GtkTopWindow::ApplyRegion() {
  if (!region_) return;
  RegionPtr pixels = RoundedRegionPixels(*region_);
  gtk_widget_shape_combine_region(window_.get(), pixels.get());
}

void GtkTopWindow::RaiseResizeOnFirstShow() {
  if (!std::exchange(shownBefore_, true)) Raise(onResize);
}

ButtonPress GtkTopWindow::PressForSystemLoop() const {
  if (std::optional<ButtonPress> press = mouse_->LastPress()) return *press;
  ButtonPress now;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_.get()));
  gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &now.rootX, &now.rootY);
  return now;
}

gboolean GtkTopWindow::OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  self->bounds_.x = event->x;
  self->bounds_.y = event->y;
  Size size{event->width, event->height};
  if (self->sizeReports_.IsNews(size)) self->TakeSize(size);
  // Whoever maximises the window, restoring brings back its last normal place and size. The
  // maximised size itself is never taken for one, whichever the window manager reports first.
  if (self->state_ == WindowState::Normal && size != self->maximizedSize_) {
    self->normalBounds_ = self->bounds_;
  }
  return FALSE;
}

// A reparenting window manager may report the window's place while its frame is still at the
// screen's corner, then move the frame without telling the window; once mapped, it is in place.
gboolean GtkTopWindow::OnMap(GtkWidget* widget, GdkEvent*, gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  gdk_window_get_origin(gtk_widget_get_window(widget), &self->bounds_.x, &self->bounds_.y);
  if (self->state_ == WindowState::Normal) {
    self->normalBounds_.x = self->bounds_.x;
    self->normalBounds_.y = self->bounds_.y;
  }
  self->RaiseMappedAfterFrame();
  return FALSE;
}

void GtkTopWindow::RaiseMappedAfterFrame() {
  GdkFrameClock* clock = gtk_widget_get_frame_clock(window_.get());
  if (!clock || frameWatch_ != 0) return;
  frameClock_.reset(GDK_FRAME_CLOCK(g_object_ref(clock)));
  frameWatch_ = g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), this);
  gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_AFTER_PAINT);
}

void GtkTopWindow::OnAfterPaint(GdkFrameClock* clock, gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  g_signal_handler_disconnect(clock, std::exchange(self->frameWatch_, 0));
  self->frameClock_.reset();
  Raise(self->onMapped);
}

gboolean GtkTopWindow::OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  WindowState state = StateFrom(event->new_window_state);
  if (state != self->state_) {
    self->state_ = state;
    Raise(self->onResize);
  }
  return FALSE;
}

gboolean GtkTopWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  Raise(static_cast<GtkTopWindow*>(data)->onCloseRequest);
  return TRUE;
}

void GtkTopWindow::OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer data) {
  auto* self = static_cast<GtkTopWindow*>(data);
  Size size{allocation->width, allocation->height};
  if (size == self->allocated_) return;
  self->allocated_ = size;
  self->ApplyRegion();
}

}  // namespace lumora::gtk
