#pragma once

#include <gtk/gtk.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumora::testing {

using namespace std::chrono_literals;

// Runs the main context until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
void PumpFor(std::chrono::milliseconds duration);

// 0xRRGGBB of a pixel on the screen, as the X server shows it.
std::uint32_t ScreenPixel(int x, int y);

// Real pointer input through the X server, at screen positions.
void PointAtScreen(int x, int y);
void ClickOnScreen(int x, int y, int button = 1, int count = 1);
// Presses the left button, moves a little, then on to the end and releases it there.
void DragOnScreen(int fromX, int fromY, int toX, int toY);

// The demo server's site in the source tree.
std::filesystem::path SiteDir();

// This test program run again to play a role (see ChildProcessRole.cpp). Environment changes
// are "NAME=value", or "-NAME" to remove a variable.
struct HelperExit {
  bool done = false;
  int code = -1;
};
std::shared_ptr<HelperExit> StartHelper(const std::string& role,
                                        const std::vector<std::string>& environment = {});
// The helper's exit code, once it has ended (pumping the main loop meanwhile); -1 on time-out.
int WaitForHelper(const HelperExit& helper, std::chrono::milliseconds timeout = 10s);

}  // namespace lumora::testing
