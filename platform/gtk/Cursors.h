#pragma once

#include <gtk/gtk.h>

#include "platform/Controls.h"

namespace lumora::gtk {

// The display's cursor for a pointer shape, owned by a process-wide cache; nullptr where the
// display has none.
GdkCursor* CursorFor(PointerShape shape);

}  // namespace lumora::gtk
