// What the GUI tests share, with the system, toolkit and standard headers they use.
#pragma once

#include <fcntl.h>
#include <gdk/gdk.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/support/FakeWebHandler.h"
#include "tests/support/TempDir.h"

namespace lumora::gui {

using namespace std::chrono_literals;

using Point = GdkPoint;

using namespace lumora::testing;

// Iterates the main loop (which serves the demo server and any fake bus services) until done
// holds; fails, naming what it waited for, once the time is up.
inline ::testing::AssertionResult WaitFor(const std::string& what, std::chrono::milliseconds limit,
                                          const std::function<bool()>& done) {
  if (testing::PumpUntil(done, limit)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "waited " << limit.count() << " ms for " << what;
}

// Starts a program, its standard error into this file if one is named; its exit is left for
// StopProcess or waitpid to collect.
inline GPid StartProcess(std::string path, std::vector<std::string> arguments = {},
                         const char* errors = nullptr) {
  std::vector<char*> argv{path.data()};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int errorFile = errors ? open(errors, O_WRONLY | O_CREAT | O_TRUNC, 0600) : -1;
  GPid pid = 0;
  g_spawn_async_with_fds(nullptr, argv.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                         &pid, -1, -1, errorFile, nullptr);
  if (errorFile >= 0) close(errorFile);
  return pid;
}

// Succeeds once the process ended of its own accord, with status 0; it is collected then.
inline ::testing::AssertionResult EndsWell(GPid& pid, std::chrono::milliseconds limit) {
  int status = -1;
  auto ended =
      WaitFor("the program to end", limit, [&] { return waitpid(pid, &status, WNOHANG) == pid; });
  if (!ended) return ended;
  pid = 0;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the program ended with status " << status;
}

inline void StopProcess(GPid pid) {
  if (pid != 0 && kill(pid, SIGTERM) == 0) waitpid(pid, nullptr, 0);
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Moves the pointer onto this point of the screen, a pixel to and fro, until done holds: what
// moves in under a still pointer learns of it only when the pointer moves.
inline ::testing::AssertionResult HoverUntil(const std::string& what, Point at,
                                             const std::function<bool()>& done) {
  int moves = 0;
  return WaitFor(what, 10s, [&] {
    PointAtScreen(at.x + ++moves % 2, at.y);
    return done();
  });
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
  Box box{-1, -1, -1, -1};
  sscanf(Shell("xdotool getwindowgeometry --shell " + id).c_str(),
         "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &box.x, &box.y, &box.width, &box.height);
  return box;
}

inline guint32 PixelOf(const GdkPixbuf* picture, int x, int y) {
  const guchar* p = gdk_pixbuf_read_pixels(picture) + y * gdk_pixbuf_get_rowstride(picture) +
                    x * gdk_pixbuf_get_n_channels(picture);
  return (p[0] << 16) | (p[1] << 8) | p[2];
}

// The colours of a screen area, row by row; none when it cannot be read.
inline std::vector<guint32> ScreenPixels(const Box& area) {
  g_autoptr(GdkPixbuf) shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), area.x,
                                                         area.y, area.width, area.height);
  std::vector<guint32> pixels;
  for (int y = 0; shot != nullptr && y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) pixels.push_back(PixelOf(shot, x, y));
  }
  return pixels;
}

// The demo server and the real program started against it from a copy in a folder of its own,
// where it keeps its files, with these settings and this version offered, its standard error
// into the file named if one is; ending this stops the program.
struct ProgramRun {
  explicit ProgramRun(std::vector<std::pair<const char*, const char*>> settings = {},
                      std::string offeredVersion = "", const char* errors = nullptr) {
    for (auto [key, value] : settings) IniWrite(folder / "config.dll", "S_q", key, value);
    server.OfferVersion(std::move(offeredVersion));
    server.Start(LUMORA_DEMO_PORT);
    std::filesystem::copy_file(LUMORA_BINARY, folder / "lumora");
    pid = StartProcess((folder / "lumora").string(), {}, errors);
  }
  ~ProgramRun() { StopProcess(pid); }

  std::string Setting(const char* k) const { return IniRead(folder / "config.dll", "S_q", k, "0"); }
  // The index of the first request log line at or after `from` that starts with `prefix`.
  std::optional<size_t> Find(const std::string& prefix, size_t from = 0) const {
    const std::vector<std::string>& log = server.RequestLog();
    for (size_t i = from; i < log.size(); ++i) {
      if (log[i].starts_with(prefix)) return i;
    }
    return std::nullopt;
  }
  // Succeeds once the server was asked for what starts with `prefix`, at or after log line `from`.
  ::testing::AssertionResult Asked(const std::string& prefix, size_t from = 0,
                                   std::chrono::milliseconds limit = 10s) const {
    return WaitFor("the request " + prefix, limit, [&] { return Find(prefix, from).has_value(); });
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
  return {5 + 16 + index % 4 * 240 + 114, 39 + 41 + 12 + index / 4 * 216 + 76};
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
  WaitFor("one main window", 5s, [&] { return (windows = LumoraWindows()).size() == 1; });
  return windows.size() == 1 ? windows.front() : std::string();
}

// A point of the main window on the screen.
inline Point InMainWindow(Point point) {
  Box window = GeometryOf(MainWindowId());
  return {window.x + point.x, window.y + point.y};
}

inline void ClickInMainWindow(Point point) {
  Point at = InMainWindow(point);
  ClickOnScreen(at.x, at.y);
}

// Succeeds once the portal in the main window shows its first poster, a bluish gradient: its page
// and style sheet are in and laid out.
inline ::testing::AssertionResult PortalShowsItsTiles() {
  return WaitFor("the portal's tiles", 20s, [] {
    Point tile = InMainWindow(PortalTile(0));
    guint32 pixel = ScreenPixel(tile.x, tile.y);
    return (pixel & 0xFF) > ((pixel >> 16) & 0xFF) + 0x10;
  });
}

// Opens the program menu with the caption's menu button and chooses an item with these keys: the
// menu takes no click on an item in its first half second.
inline ::testing::AssertionResult ChooseFromTheProgramMenu(const std::string& keys) {
  // Every mapped child of the root window: managed frames and override-redirect popups alike.
  auto mapped = [] { return Lines(Shell("xdotool search --onlyvisible --maxdepth 1 --name ''")); };
  std::vector<std::string> before = mapped();
  ClickInMainWindow({GeometryOf(MainWindowId()).width - 152, 17});
  auto shown = WaitFor("the program menu", 5s, [&] {
    // New windows of the toolkit's own too small to be the menu are not it.
    return std::ranges::any_of(mapped(), [&](const std::string& id) {
      return !std::ranges::count(before, id) && GeometryOf(id).width >= 50;
    });
  });
  if (shown) Shell("xdotool key " + keys);
  return shown;
}

// A suite that runs the real program once for all its tests, against the demo server, under the
// test's X server, window manager and session bus, with a fake default web browser.
class ProgramSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    browser_ = new test::FakeWebHandler();
    run_ = new ProgramRun();
    ASSERT_TRUE(WaitFor("the main window", 20s, [] { return LumoraWindows().size() == 1; }));
  }
  static void TearDownTestSuite() {
    delete run_;
    delete browser_;
  }

  static inline test::FakeWebHandler* browser_ = nullptr;
  static inline ProgramRun* run_ = nullptr;
};

}  // namespace lumora::gui
