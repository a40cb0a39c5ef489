#include "platform/gtk/KeyEvents.h"

namespace lumora::gtk {
namespace {

Key KeyOf(guint keyval) {
  switch (gdk_keyval_to_lower(keyval)) {
    case GDK_KEY_1:
    case GDK_KEY_KP_1:
      return Key::Digit1;
    case GDK_KEY_2:
    case GDK_KEY_KP_2:
      return Key::Digit2;
    case GDK_KEY_3:
    case GDK_KEY_KP_3:
      return Key::Digit3;
    case GDK_KEY_4:
    case GDK_KEY_KP_4:
      return Key::Digit4;
    case GDK_KEY_F5:
      return Key::F5;
    case GDK_KEY_F10:
      return Key::F10;
    case GDK_KEY_Menu:
      return Key::Menu;
    case GDK_KEY_q:
      return Key::Q;
    case GDK_KEY_Escape:
      return Key::Escape;
    default:
      return Key::Other;
  }
}

}  // namespace

KeyEvent KeyEventFrom(const GdkEventKey& event) {
  return {KeyOf(event.keyval), (event.state & GDK_CONTROL_MASK) != 0,
          (event.state & GDK_SHIFT_MASK) != 0, (event.state & GDK_MOD1_MASK) != 0};
}

}  // namespace lumora::gtk
