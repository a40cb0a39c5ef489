#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

// 2 x 2 blocks of screen pixels that are not one colour: a picture scaled up from one pixel per
// logical pixel has none, one drawn at double size has them along every edge.
int FineBlocks(GdkPixbuf* shot, GdkRectangle area) {
  int fine = 0;
  for (int y = area.y; y + 1 < area.y + area.height; y += 2) {
    for (int x = area.x; x + 1 < area.x + area.width; x += 2) {
      guint32 colour = PixelOf(shot, x, y);
      fine += PixelOf(shot, x + 1, y) != colour || PixelOf(shot, x, y + 1) != colour ||
              PixelOf(shot, x + 1, y + 1) != colour;
    }
  }
  return fine;
}

// On a screen scaled by two the chrome is painted from the double-size skin sheets.
TEST(HiDpiGuiTest, ScaledScreenShowsTheDoubleSizeSheets) {
  gdk_init(nullptr, nullptr);
  g_setenv("GDK_SCALE", "2", TRUE);
  // The smallest window (900 x 466), so that at double size most of it fits on the screen.
  ProgramRun run({{"s_size", "2"}, {"h_w", "13500"}, {"h_h", "7000"}});
  g_unsetenv("GDK_SCALE");

  std::string id;
  ASSERT_TRUE(WaitFor(
      "the main window", [&] { return !(id = MainWindowId()).empty(); }, 20s));
  // The caption strip and page tabs on the screen, aligned to the window's pixel pairs.
  Box window = GeometryOf(id);
  int left = std::max(window.x, 0);
  left += (left - window.x) % 2;
  GdkWindow* root = gdk_get_default_root_window();
  EXPECT_TRUE(WaitFor(
      "the chrome painted from the double-size sheets",
      [&] {
        g_autoptr(GdkPixbuf) chrome = gdk_pixbuf_get_from_window(root, left, window.y, 1200, 56);
        return chrome != nullptr && FineBlocks(chrome, {0, 0, 1200, 56}) > 2000;
      },
      10s));
  g_object_unref(Screenshot("hidpi-window.png"));
}

}  // namespace
}  // namespace lumora
