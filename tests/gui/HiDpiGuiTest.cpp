#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace gui;

int GeometryValue(const std::string& id, const char* key) {
  std::string shell = Shell("xdotool getwindowgeometry --shell " + id);
  std::smatch match;
  std::regex pattern(std::string(key) + "=(-?[0-9]+)");
  return std::regex_search(shell, match, pattern) ? std::stoi(match[1]) : -1;
}

// 2 x 2 blocks of screen pixels that are not one colour: a picture scaled up from one pixel per
// logical pixel has none, one drawn at double size has them along every edge.
int FineBlocks(GdkPixbuf* shot, GdkRectangle area) {
  int channels = gdk_pixbuf_get_n_channels(shot);
  int stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* pixels = gdk_pixbuf_read_pixels(shot);
  auto at = [&](int x, int y) {
    const guchar* p = pixels + y * stride + x * channels;
    return (p[0] << 16) | (p[1] << 8) | p[2];
  };
  int fine = 0;
  for (int y = area.y; y + 1 < area.y + area.height; y += 2) {
    for (int x = area.x; x + 1 < area.x + area.width; x += 2) {
      int colour = at(x, y);
      fine += at(x + 1, y) != colour || at(x, y + 1) != colour || at(x + 1, y + 1) != colour;
    }
  }
  return fine;
}

// Stops the program however the test ends.
struct RunningProgram {
  ~RunningProgram() { StopProcess(pid); }
  GPid pid;
};

// On a screen scaled by two the chrome is painted from the double-size skin sheets.
TEST(HiDpiGuiTest, ScaledScreenShowsTheDoubleSizeSheets) {
  gdk_init(nullptr, nullptr);
  DemoServer server(LUMORA_TEST_SITE_DIR);
  server.Start(LUMORA_DEMO_PORT);
  test::TempDir appDir;
  std::filesystem::copy_file(LUMORA_BINARY, appDir / "lumora");
  // The smallest window (900 x 466), so that at double size most of it fits on the screen.
  IniWrite(appDir / "config.dll", "S_q", "s_size", "2");
  IniWrite(appDir / "config.dll", "S_q", "h_w", "13500");
  IniWrite(appDir / "config.dll", "S_q", "h_h", "7000");
  g_setenv("GDK_SCALE", "2", TRUE);
  RunningProgram program{StartProcess((appDir / "lumora").string())};
  g_unsetenv("GDK_SCALE");

  std::string id;
  ASSERT_TRUE(WaitUntil([&] { return !(id = MainWindowId()).empty(); }, std::chrono::seconds(20)));
  Pause(std::chrono::seconds(2));
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                               gdk_window_get_height(root));
  std::filesystem::create_directories(LUMORA_ARTIFACT_DIR);
  gdk_pixbuf_save(shot, LUMORA_ARTIFACT_DIR "/hidpi-window.png", "png", nullptr, nullptr);
  // The caption strip and page tabs on the screen, aligned to the window's pixel pairs.
  int left = std::max(GeometryValue(id, "X"), 0);
  left += (left - GeometryValue(id, "X")) % 2;
  GdkRectangle caption{left, GeometryValue(id, "Y"), 1200, 56};
  EXPECT_GT(FineBlocks(shot, caption), 2000);
  g_object_unref(shot);
}

}  // namespace
}  // namespace lumora
