#pragma once

#include <gdk/gdk.h>
#include <glib.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "server/DemoServer.h"
#include "tests/support/TempDir.h"

namespace lumora::gui {

// Iterates the main loop (which serves the demo server and any fake bus services) until done or
// the time is up.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(5000);
  }
  return true;
}

// A fixed pause where a user would pause; the loop keeps serving meanwhile.
inline void Pause(std::chrono::milliseconds time) {
  WaitUntil([] { return false; }, time);
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

// Starts the real program from a copy in this folder, where it keeps its settings and files; a
// later start from the same folder runs the copy already there.
inline GPid StartProgramIn(const std::filesystem::path& folder) {
  std::filesystem::path binary = folder / "lumora";
  if (!std::filesystem::exists(binary)) std::filesystem::copy_file(LUMORA_BINARY, binary);
  return StartProcess(binary.string());
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

// A window's place and size on the screen; -1 for what could not be read.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

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

// The colour of the screen at this point, 0 when it cannot be read.
inline guint32 ScreenPixel(int x, int y) {
  g_autoptr(GdkPixbuf) pixel =
      gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (pixel == nullptr) return 0;
  const guchar* p = gdk_pixbuf_read_pixels(pixel);
  return (p[0] << 16) | (p[1] << 8) | p[2];
}

// Every mapped child of the root window: managed frames and override-redirect popups alike.
inline std::set<std::string> MappedTopWindows() {
  std::vector<std::string> ids =
      Lines(Shell("xdotool search --onlyvisible --maxdepth 1 --name ''"));
  return {ids.begin(), ids.end()};
}

// The demo server and the real program started against it from a folder of its own; ending this
// stops the program.
struct ProgramRun {
  ProgramRun() {
    server.Start(LUMORA_DEMO_PORT);
    pid = StartProgramIn(folder.Path());
  }
  ~ProgramRun() { StopProcess(pid); }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  DemoServer server{LUMORA_TEST_SITE_DIR};
  test::TempDir folder;
  GPid pid = 0;
};

// The program's main windows among the visible windows titled "Lumora"; small ones (the tray
// icon's own window while no tray host embeds it) are left out.
inline std::vector<std::string> LumoraWindows() {
  std::vector<std::string> windows;
  for (const std::string& id : Lines(Shell("xdotool search --onlyvisible --name ^Lumora$"))) {
    std::string geometry = Shell("xdotool getwindowgeometry --shell " + id);
    size_t width = geometry.find("WIDTH=");
    if (width != std::string::npos && std::stoi(geometry.substr(width + 6)) >= 200) {
      windows.push_back(id);
    }
  }
  return windows;
}

// The one main window, waiting a little for it to settle; "" when there is not exactly one.
inline std::string MainWindowId() {
  std::vector<std::string> windows;
  WaitUntil(
      [&] {
        windows = LumoraWindows();
        return windows.size() == 1;
      },
      std::chrono::seconds(5));
  return windows.size() == 1 ? windows.front() : std::string();
}

}  // namespace lumora::gui
