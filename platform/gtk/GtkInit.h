#pragma once

#include <vector>

namespace lumora::gtk {

// Initialises GTK on first use. False when no display can be opened; the HTTP, timer and
// single-instance parts of the backend work without one.
bool EnsureGtk();

// As EnsureGtk, but throws std::runtime_error when there is no display.
void RequireGtk();

// The environment variables this process set for itself as GTK started; the programs it starts
// get the user's environment without them.
const std::vector<const char*>& OwnEnvironmentVariables();

}  // namespace lumora::gtk
