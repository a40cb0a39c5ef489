#pragma once

#include <glib.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

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
