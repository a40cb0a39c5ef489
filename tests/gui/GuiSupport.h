#pragma once

#include <gdk/gdk.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/support/FakeWebHandler.h"
#include "tests/support/TempDir.h"

namespace lumora::gui {

using namespace std::chrono_literals;

using Point = GdkPoint;

// Iterates the main loop (which serves the demo server and any fake bus services) until done
// holds; fails, naming what it waited for, once the time is up.
inline ::testing::AssertionResult WaitFor(const std::string& what,
                                          const std::function<bool()>& done,
                                          std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) {
      return ::testing::AssertionFailure() << "waited " << limit.count() << " ms for " << what;
    }
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(5000);
  }
  return ::testing::AssertionSuccess();
}

// Starts a program; its exit is left for StopProcess or waitpid to collect.
inline GPid StartProcess(std::string path, std::vector<std::string> arguments = {}) {
  std::vector<char*> argv{path.data()};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  GPid pid = 0;
  g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid,
                nullptr);
  return pid;
}

inline void StopProcess(GPid pid) {
  if (pid == 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

inline std::string Shell(const std::string& command) {
  g_autofree char* out = nullptr;
  g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr);
  return out != nullptr ? out : "";
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The one visible window `xdotool search --onlyvisible` finds with these options, "" while there
// is not exactly one.
inline std::string OnlyWindow(const std::string& search) {
  std::vector<std::string> ids = Lines(Shell("xdotool search --onlyvisible " + search));
  return ids.size() == 1 ? ids.front() : std::string();
}

// A window's place and size on the screen; -1 for what could not be read.
using Box = GdkRectangle;
inline Box GeometryOf(const std::string& id) {
  std::string shell = Shell("xdotool getwindowgeometry --shell " + id);
  auto value = [&](const char* key) {
    std::smatch match;
    std::regex pattern(std::string("\n") + key + "=(-?[0-9]+)");
    return std::regex_search(shell, match, pattern) ? std::stoi(match[1]) : -1;
  };
  return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

// Moves the pointer to this screen point and clicks there.
inline void Click(int x, int y, int button = 1) {
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
        std::to_string(button));
}

inline guint32 PixelOf(const GdkPixbuf* picture, int x, int y) {
  const guchar* p = gdk_pixbuf_read_pixels(picture) + y * gdk_pixbuf_get_rowstride(picture) +
                    x * gdk_pixbuf_get_n_channels(picture);
  return (p[0] << 16) | (p[1] << 8) | p[2];
}

// The colour of the screen at this point, 0 when it cannot be read.
inline guint32 ScreenPixel(int x, int y) {
  g_autoptr(GdkPixbuf) pixel =
      gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  return pixel != nullptr ? PixelOf(pixel, 0, 0) : 0;
}

// A picture of the whole screen, kept as this test artifact.
inline GdkPixbuf* Screenshot(const std::string& artifact) {
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                               gdk_window_get_height(root));
  std::filesystem::create_directories(LUMORA_ARTIFACT_DIR);
  gdk_pixbuf_save(shot, (LUMORA_ARTIFACT_DIR "/" + artifact).c_str(), "png", nullptr, nullptr);
  return shot;
}

// Every mapped child of the root window: managed frames and override-redirect popups alike.
inline std::set<std::string> MappedTopWindows() {
  std::vector<std::string> ids =
      Lines(Shell("xdotool search --onlyvisible --maxdepth 1 --name ''"));
  return {ids.begin(), ids.end()};
}

// The demo server and the real program started against it from a copy in a folder of its own,
// where it keeps its files, with these settings and this version offered; ending this stops the
// program.
struct ProgramRun {
  explicit ProgramRun(std::vector<std::pair<const char*, const char*>> settings = {},
                      std::string offeredVersion = "") {
    for (auto [key, value] : settings) IniWrite(folder / "config.dll", "S_q", key, value);
    server.OfferVersion(std::move(offeredVersion));
    server.Start(LUMORA_DEMO_PORT);
    std::filesystem::copy_file(LUMORA_BINARY, folder / "lumora");
    pid = StartProcess((folder / "lumora").string());
  }
  ~ProgramRun() { StopProcess(pid); }

  std::string Setting(const char* key) const {
    return IniRead(folder / "config.dll", "S_q", key, "0");
  }
  // The index of the first request log line at or after `from` that starts with `prefix`.
  std::optional<size_t> Find(const std::string& prefix, size_t from = 0) const {
    const std::vector<std::string>& log = server.RequestLog();
    for (size_t i = from; i < log.size(); ++i) {
      if (log[i].starts_with(prefix)) return i;
    }
    return std::nullopt;
  }
  bool Saw(const std::string& prefix, size_t from = 0) const {
    return Find(prefix, from).has_value();
  }
  // Succeeds once the program ended of its own accord, with status 0.
  ::testing::AssertionResult Ended(std::chrono::milliseconds limit) {
    int status = -1;
    auto ended = WaitFor(
        "the program to end", [&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit);
    if (!ended) return ended;
    pid = 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the program ended with status " << status;
  }

  DemoServer server{LUMORA_TEST_SITE_DIR};
  test::TempDir folder;
  GPid pid = 0;
};

// The centre of a portal tile's poster, in window pixels. The portal view fills the page area
// from (7, 41), overlapping it by 2 pixels on every side: a 980 pixel wide page of four 228 pixel
// columns, 12 apart after 16 of padding, below a 41 pixel header and 12 of padding; a tile is 204
// high (poster 150).
inline Point PortalTile(int index) {
  int column = index % 4;
  int row = index / 4;
  return {5 + 16 + column * 240 + 114, 39 + 41 + 12 + row * 216 + 76};
}

// True once the portal in this main window shows its first poster, a bluish gradient: its page
// and style sheet are in and laid out.
inline bool PortalShowsItsTiles(const std::string& window) {
  Box box = GeometryOf(window);
  Point tile = PortalTile(0);
  guint32 pixel = ScreenPixel(box.x + tile.x, box.y + tile.y);
  return (pixel & 0xFF) > ((pixel >> 16) & 0xFF) + 0x10;
}

// The program's main windows among the visible windows titled "Lumora"; small ones (the tray
// icon's own window while no tray host embeds it) are left out.
inline std::vector<std::string> LumoraWindows() {
  std::vector<std::string> windows;
  for (const std::string& id : Lines(Shell("xdotool search --onlyvisible --name ^Lumora$"))) {
    if (GeometryOf(id).width >= 200) windows.push_back(id);
  }
  return windows;
}

// The one main window, waiting a little for it to settle; "" when there is not exactly one.
inline std::string MainWindowId() {
  std::vector<std::string> windows;
  bool one = static_cast<bool>(WaitFor(
      "one main window", [&] { return (windows = LumoraWindows()).size() == 1; }, 5s));
  return one ? windows.front() : std::string();
}

// A suite that runs the real program once for all its tests, against the demo server, under the
// test's X server, window manager and session bus, with a fake default web browser.
class ProgramSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    browser_ = new test::FakeWebHandler();
    run_ = new ProgramRun();
    ASSERT_TRUE(WaitFor(
        "the main window", [] { return LumoraWindows().size() == 1; }, 20s));
  }
  static void TearDownTestSuite() {
    delete run_;
    delete browser_;
  }

  static inline test::FakeWebHandler* browser_ = nullptr;
  static inline ProgramRun* run_ = nullptr;
};

}  // namespace lumora::gui
