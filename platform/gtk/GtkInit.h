#pragma once

#include <vector>

namespace lumora::gtk {

// Initialises GTK on first use. False when no display can be opened; the HTTP, timer and
// single-instance parts of the backend work without one.
bool EnsureGtk();

// As EnsureGtk, but throws std::runtime_error when there is no display.
void RequireGtk();

// Keeps the system's GL driver out of this process and its web processes: everything is drawn
// with the CPU. Sets environment variables, so call it before other threads start; GTK's start
// calls it too, for a process that starts GTK on its own.
void KeepGlDriversOut();

// The environment variables KeepGlDriversOut set; the programs this process starts get the user's
// environment without them.
const std::vector<const char*>& OwnEnvironmentVariables();

}  // namespace lumora::gtk
