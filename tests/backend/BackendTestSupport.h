#pragma once

#include <gtk/gtk.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace lumora::testing {

using namespace std::chrono_literals;

// Runs the main context until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
// Pumps until the window system has done what was asked of it so far: a shown window has painted
// a frame since the call, so the toolkit's requests went out, and the X server has answered a
// round trip, whose events are handled by then. False on time-out.
bool Settle(GtkWidget* toplevel, std::chrono::milliseconds timeout = 5s);
// This test program started again by the launcher to run only the named disabled test.
GSubprocess* StartTestAgain(GSubprocessLauncher* launcher, const std::string& test);
// The process's exit code once it has ended, pumping the main loop meanwhile; -1 on time-out.
int ExitCode(GSubprocess* process);

// What a command printed on its standard output.
std::string Shell(const std::string& command);

// 0xRRGGBB of a pixel on the screen, as the X server shows it.
std::uint32_t ScreenPixel(int x, int y);

// Real pointer input through the X server, at screen positions.
void PointAtScreen(int x, int y);
void ClickOnScreen(int x, int y, int button = 1, int count = 1);
// Real keys through the X server to the window that has the keyboard, as xdotool names them
// ("a ctrl+1 F5").
void TypeOnScreen(const std::string& keys);
// Presses the left button, moves a little, then on to the end and releases it there.
void DragOnScreen(int fromX, int fromY, int toX, int toY);

}  // namespace lumora::testing
