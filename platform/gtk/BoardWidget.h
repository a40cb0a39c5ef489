#pragma once

#include <gtk/gtk.h>

#include <functional>

#include "platform/Controls.h"
#include "platform/Geometry.h"

namespace lumora::gtk {

// Paints a board's own surface, under its children.
class BoardPainter {
 public:
  virtual void PaintBoard(cairo_t* cr, int width, int height) = 0;

 protected:
  ~BoardPainter() = default;
};

// The widget behind every control and window surface: a container with its own window, which
// clips its children, paints its own surface under them and places each child at exactly the
// rectangle it is given. It asks for no size of its own, so a window holding it can be made
// smaller than its children reach. Children added later lie above those added earlier, also
// after being hidden and shown again.
GtkWidget* BoardNew(BoardPainter* painter);
void BoardSetPainter(GtkWidget* board, BoardPainter* painter);
// Adds a child at a rectangle in the board's pixels; the board takes the floating reference.
void BoardPut(GtkWidget* board, GtkWidget* child, Rect area);
void BoardPlace(GtkWidget* board, GtkWidget* child, Rect area);
// The pointer over the board outside its children; nullptr takes the parent's.
void BoardSetCursor(GtkWidget* board, GdkCursor* cursor);
// Presents the board to assistive technology with a role, a name and a pressed or selected
// state. A board with a role takes the keyboard focus and has an activate action, which Enter
// and Space also run while it has the focus.
void BoardSetAccessible(GtkWidget* board, const AccessibleInfo& info);
// The colour of the focus ring of the boards in this top-level window.
void BoardSetFocusRing(GtkWidget* toplevel, Color color);
// The child paints every pixel of its rectangle (a web view does): where it covers all that is to
// be drawn, the boards under it do not paint their own surface (each frame of a playing video).
void BoardMarkOpaque(GtkWidget* child);
// What the activate action runs; nullptr when the board's owner goes away.
void BoardSetActivate(GtkWidget* board, std::function<void()> activate);

}  // namespace lumora::gtk
