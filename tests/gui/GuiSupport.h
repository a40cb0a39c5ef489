#pragma once

#include <glib.h>

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

// The program's main window, as the X server lists visible windows.
inline std::vector<std::string> LumoraWindows() {
  return Lines(Shell("xdotool search --onlyvisible --name ^Lumora$"));
}

}  // namespace lumora::gui
