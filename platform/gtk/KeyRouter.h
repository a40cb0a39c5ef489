#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>

#include "platform/Window.h"

namespace lumora::gtk {

// Routes the key presses of a window. The focused control has the key first: a web view takes
// every key and raises it again for those its page left. A page with a text field focused keeps
// even those from the program's shortcuts. The window's own keys (mnemonics, Tab between
// controls) follow. The event always ends here: the window's default handler would hand it to the
// focused control once more, and a web view would take it as a new key and send it to its page
// again, over and over.
class KeyRouter {
 public:
  explicit KeyRouter(std::function<bool(const KeyEvent&)>& onKeyDown) : onKeyDown_(onKeyDown) {}

  // The key-press-event handler of the window; true: the event is handled.
  bool Route(GtkWindow* window, GdkEventKey* event);

 private:
  // The last key a control took, to know it when a web view raises it again.
  struct TakenKey {
    guint32 time = 0;
    guint keyval = 0;
    const GtkWidget* by = nullptr;  // only compared, never used
  };
  bool TakenByAnother(const GdkEventKey& event, const GtkWidget* focus) const;

  std::function<bool(const KeyEvent&)>& onKeyDown_;
  std::optional<TakenKey> taken_;
};

}  // namespace lumora::gtk
