#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace lumora::gtk {

// The script world of the program's own scripts, which the pages cannot reach.
inline constexpr const char* kProgramScriptWorld = "lumora";

// Has the view's pages tell it whether a text field (a text input, a text area, an editable
// element) has the focus, in a script world of its own that the pages cannot reach. The view
// needs a user content manager of its own, since the manager does not say which view spoke.
void WatchTextFieldFocus(WebKitWebView* view);

// Whether the widget is a watched web view whose page has a text field focused: every key then
// belongs to the page, also the ones it leaves unused.
bool TextFieldFocused(GtkWidget* widget);

}  // namespace lumora::gtk
