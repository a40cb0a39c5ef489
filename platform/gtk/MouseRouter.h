#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/Controls.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// Where a board's pointer events go. Pointers left null are not raised.
struct MouseHandlers {
  MouseHandler* down = nullptr;
  MouseHandler* move = nullptr;
  MouseHandler* up = nullptr;
  std::function<void()>* click = nullptr;
  std::function<void()>* doubleClick = nullptr;
};

// A button press as the system's move and size loops want it.
struct ButtonPress {
  guint button = 1;
  int rootX = 0;
  int rootY = 0;
  guint32 time = GDK_CURRENT_TIME;
};

// Raises the pointer events of a board's own window (never those over its child controls) with
// positions in the board's pixels, and stops them there. The pointer coming onto the board is
// a move; when it leaves the board a move to (-1, -1) is raised, so hover looks can be undone.
class MouseRouter {
 public:
  MouseRouter(GtkWidget* board, MouseHandlers handlers);
  ~MouseRouter();
  MouseRouter(const MouseRouter&) = delete;
  MouseRouter& operator=(const MouseRouter&) = delete;

  std::optional<ButtonPress> LastPress() const { return lastPress_; }

 private:
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnEnter(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
  static gboolean OnLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
  bool IsOwn(GdkWindow* window) const;
  bool Inside(int x, int y) const;

  GObjectPtr<GtkWidget> board_;
  MouseHandlers handlers_;
  std::optional<ButtonPress> lastPress_;
  bool leftPressed_ = false;
  // Handlers may destroy this router; callbacks check this token before going on.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora::gtk
