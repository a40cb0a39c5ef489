#include "platform/gtk/KeyRouter.h"

#include <webkit2/webkit2.h>

#include "platform/Raise.h"
#include "platform/gtk/KeyEvents.h"

namespace lumora::gtk {
namespace {

// Whether the widget is a web view whose page has its caret in editable text (a text input, a text
// area, an editable element): every key then belongs to the page, also the ones it leaves unused.
// The engine says so in the editor state it keeps for every selection change, which costs nothing
// in the pages.
bool TextFieldFocused(GtkWidget* widget) {
  if (!widget || !WEBKIT_IS_WEB_VIEW(widget)) return false;
  WebKitEditorState* state = webkit_web_view_get_editor_state(WEBKIT_WEB_VIEW(widget));
  return state && webkit_editor_state_is_paste_available(state);
}

}  // namespace

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
