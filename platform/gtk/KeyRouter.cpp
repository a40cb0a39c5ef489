#include "platform/gtk/KeyRouter.h"

#include "platform/Raise.h"
#include "platform/gtk/KeyEvents.h"
#include "platform/gtk/TextFieldFocus.h"

namespace lumora::gtk {

bool KeyRouter::Route(GtkWindow* window, GdkEventKey* event) {
  GtkWidget* focus = gtk_window_get_focus(window);
  if (gtk_window_propagate_key_event(window, event)) {
    taken_ = TakenKey{event->time, event->keyval, focus};
    return true;
  }
  // Raised again by a web view that gave the focus away meanwhile (Tab at its page's end): the key
  // has done its work.
  if (TakenByAnother(*event, focus)) return true;
  KeyEvent key = KeyEventFrom(*event);
  if (key.key != Key::Other && !TextFieldFocused(focus) && RaiseForAnswer(onKeyDown_, key)) {
    return true;
  }
  if (!gtk_window_activate_key(window, event)) gtk_bindings_activate_event(G_OBJECT(window), event);
  return true;
}

bool KeyRouter::TakenByAnother(const GdkEventKey& event, const GtkWidget* focus) const {
  return taken_ && taken_->time == event.time && taken_->keyval == event.keyval &&
         taken_->by != focus;
}

}  // namespace lumora::gtk
