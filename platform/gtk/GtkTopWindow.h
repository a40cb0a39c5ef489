#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <optional>

#include "platform/Window.h"
#include "platform/gtk/BoardWidget.h"
#include "platform/gtk/ChildControls.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/KeyRouter.h"
#include "platform/gtk/MouseRouter.h"
#include "platform/gtk/SizeReports.h"
#include "platform/gtk/WebEngine.h"

namespace lumora::gtk {

// An undecorated GTK window whose whole area is a board: the window's own surface under its
// controls. Its size is what SetBounds asked for until the window manager says otherwise.
class GtkTopWindow : public TopWindow, private BoardPainter {
 public:
  GtkTopWindow();
  ~GtkTopWindow() override;
  GtkTopWindow(const GtkTopWindow&) = delete;
  GtkTopWindow& operator=(const GtkTopWindow&) = delete;

  Picture& AddPicture() override { return controls_->AddPicture(); }
  Label& AddLabel() override { return controls_->AddLabel(); }
  ImageBox& AddImage() override { return controls_->AddImage(); }
  WebView& AddWebView() override { return controls_->AddWebView(); }
  CheckBox& AddCheckBox() override { return controls_->AddCheckBox(); }
  Button& AddButton() override { return controls_->AddButton(); }

  void SetTitle(const std::string& title) override;
  void SetIcon(const Bitmap& icon) override;
  void SetBounds(Rect bounds) override;
  Rect Bounds() const override { return bounds_; }
  Size ClientSize() const override { return bounds_.Extent(); }
  void SetState(WindowState state) override;
  WindowState State() const override { return state_; }
  void Show() override;
  void Hide() override;
  bool IsShown() const override;
  void Present() override;
  void SetAlwaysOnTop(bool onTop) override;
  bool AlwaysOnTop() const override { return alwaysOnTop_; }
  void SetOwner(TopWindow& owner) override;
  void SetPassive(bool passive) override;
  bool Passive() const override { return passive_; }
  void SetKind(WindowKind kind) override;
  WindowKind Kind() const override { return kind_; }
  void SetFocusRingColor(Color color) override { BoardSetFocusRing(window_.get(), color); }
  void SetRegion(const RoundedRegion& region) override;
  std::optional<RoundedRegion> Region() const override { return region_; }
  void SetPointer(PointerShape shape) override;
  PointerShape Pointer() const override { return pointer_; }
  void BeginSystemMove() override;
  void BeginSystemSize(HitCode edge) override;
  void SetMaximizedBounds(Rect bounds) override;
  Bitmap& Surface() override { return surface_; }
  void Refresh() override;

  GtkWindow* Handle() const { return GTK_WINDOW(window_.get()); }

 private:
  void PaintBoard(cairo_t* cr, int width, int height) override;
  // Takes a size the window now has: the surface follows and onResize is raised.
  void TakeSize(Size size);
  void ApplyRegion();
  void TakeRestoredBounds();
  void RaiseResizeOnFirstShow();
  ButtonPress PressForSystemLoop() const;
  // Raises onSystemSizeEnd once this button of the pointer is up again.
  void WatchForRelease(guint button);
  bool ButtonHeld(guint button) const;
  static gboolean OnReleaseWatch(gpointer self);

  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer self);
  static gboolean OnMap(GtkWidget* widget, GdkEvent* event, gpointer self);
  // onMapped waits for the end of the next frame, so what it starts comes after the window's
  // content is on the screen.
  void RaiseMappedAfterFrame();
  static void OnAfterPaint(GdkFrameClock* clock, gpointer self);
  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer self);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static void OnSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);

  GObjectPtr<GtkWidget> window_;
  GObjectPtr<GtkWidget> board_;
  std::unique_ptr<ChildControls> controls_;
  std::unique_ptr<MouseRouter> mouse_;
  Bitmap surface_{Size{}};
  Rect bounds_;
  // Where the window was before it was maximised, by the program or by the window manager.
  Rect normalBounds_;
  Size maximizedSize_;
  Size allocated_;
  SizeReports sizeReports_;
  WindowState state_ = WindowState::Normal;
  bool alwaysOnTop_ = false;
  bool passive_ = false;
  WindowKind kind_ = WindowKind::Normal;
  bool shownBefore_ = false;
  PointerShape pointer_ = PointerShape::Arrow;
  std::optional<RoundedRegion> region_;
  guint releaseWatch_ = 0;
  GObjectPtr<GdkFrameClock> frameClock_;  // while onMapped waits for a frame
  gulong frameWatch_ = 0;
  guint loopButton_ = GDK_BUTTON_PRIMARY;
  KeyRouter keys_{onKeyDown};
};

}  // namespace lumora::gtk
