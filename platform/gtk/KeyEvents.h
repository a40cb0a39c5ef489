#pragma once

#include <gdk/gdk.h>

#include "platform/Window.h"

namespace lumora::gtk {

// The key of a key press as the program's shortcuts see it, with its modifiers.
KeyEvent KeyEventFrom(const GdkEventKey& event);

}  // namespace lumora::gtk
