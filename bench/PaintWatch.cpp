#include "bench/PaintWatch.h"

#include <cstdlib>

namespace lumora::bench {

bool IsPortalTitleOrange(int red, int green, int blue) {
  return red > 200 && green > 100 && green < 170 && blue < 90;
}

bool IsVideoBarColour(int red, int green, int blue) {
  // Two channels high and alike, the third low: the program's orange pictures are not.
  auto bar = [](int high1, int high2, int low) {
    return high1 > 150 && high2 > 150 && std::abs(high1 - high2) < 40 && low < 60;
  };
  return bar(red, green, blue) || bar(green, blue, red) || bar(red, blue, green);
}

void PaintWatch::Watch(GtkWidget* window) {
  Stop();
  window_.reset(GTK_WIDGET(g_object_ref(window)));
  clock_.reset(GDK_FRAME_CLOCK(g_object_ref(gtk_widget_get_frame_clock(window))));
  g_signal_connect(clock_.get(), "after-paint", G_CALLBACK(OnAfterPaint), this);
}

void PaintWatch::Stop() {
  if (clock_) g_signal_handlers_disconnect_by_data(clock_.get(), this);
  clock_.reset();
  window_.reset();
}

void PaintWatch::OnAfterPaint(GdkFrameClock*, gpointer data) {
  auto* self = static_cast<PaintWatch*>(data);
  if (!self->AreaShows()) return;
  self->Stop();
  if (self->onSeen) self->onSeen();
}

bool PaintWatch::AreaShows() const {
  GdkWindow* window = gtk_widget_get_window(window_.get());
  if (!window || !gdk_window_is_viewable(window)) return false;
  // Read back from the X server, which has the frame's drawing: it comes first on the connection.
  gtk::GObjectPtr<GdkPixbuf> pixels(
      gdk_pixbuf_get_from_window(window, area_.x, area_.y, area_.width, area_.height));
  if (!pixels) return false;
  const guchar* row = gdk_pixbuf_read_pixels(pixels.get());
  int stride = gdk_pixbuf_get_rowstride(pixels.get());
  int channels = gdk_pixbuf_get_n_channels(pixels.get());
  for (int y = 0; y < gdk_pixbuf_get_height(pixels.get()); ++y, row += stride) {
    for (int x = 0; x < gdk_pixbuf_get_width(pixels.get()); ++x) {
      const guchar* pixel = row + x * channels;
      if (test_(pixel[0], pixel[1], pixel[2])) return true;
    }
  }
  return false;
}

}  // namespace lumora::bench
