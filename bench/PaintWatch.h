#pragma once

#include <gtk/gtk.h>

#include <functional>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::bench {

// A test of one pixel's colour.
using PixelTest = bool (*)(int red, int green, int blue);

// The portal page's title text, orange on its dark header bar.
bool IsPortalTitleOrange(int red, int green, int blue);
// A bar of the demo video's test picture: yellow, cyan or magenta, none of which the pages around
// it use.
bool IsVideoBarColour(int red, int green, int blue);

// Watches the frames a toplevel window paints and calls onSeen after the first frame in which
// some pixel of an area of the window (window coordinates) passes a test, as the X server holds
// it: the moment a page's content reached the screen.
class PaintWatch {
 public:
  PaintWatch(GdkRectangle area, PixelTest test) : area_(area), test_(test) {}
  ~PaintWatch() { Stop(); }
  PaintWatch(const PaintWatch&) = delete;
  PaintWatch& operator=(const PaintWatch&) = delete;

  // Starts watching a realized toplevel window's frames; the area may already show it.
  void Watch(GtkWidget* window);
  void Stop();

  std::function<void()> onSeen;

 private:
  static void OnAfterPaint(GdkFrameClock* clock, gpointer self);
  bool AreaShows() const;

  GdkRectangle area_;
  PixelTest test_;
  gtk::GObjectPtr<GtkWidget> window_;
  gtk::GObjectPtr<GdkFrameClock> clock_;
};

}  // namespace lumora::bench
