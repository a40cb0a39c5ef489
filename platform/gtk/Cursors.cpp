#include "platform/gtk/Cursors.h"

#include <map>

namespace lumora::gtk {
namespace {

struct CursorNames {
  const char* standard;  // the CSS name cursor themes provide
  const char* legacy;    // the X cursor font's name, for displays without a theme
};

CursorNames NamesFor(PointerShape shape) {
  switch (shape) {
    case PointerShape::SizeWestEast:
      return {"ew-resize", "sb_h_double_arrow"};
    case PointerShape::SizeNorthSouth:
      return {"ns-resize", "sb_v_double_arrow"};
    case PointerShape::SizeNwSe:
      return {"nwse-resize", "bottom_right_corner"};
    case PointerShape::SizeNeSw:
      return {"nesw-resize", "bottom_left_corner"};
    case PointerShape::Hand:
      return {"pointer", "hand2"};
    case PointerShape::Arrow:
      break;
  }
  return {"default", "left_ptr"};
}

GdkCursor* LoadCursor(PointerShape shape) {
  GdkDisplay* display = gdk_display_get_default();
  CursorNames names = NamesFor(shape);
  GdkCursor* cursor = gdk_cursor_new_from_name(display, names.standard);
  return cursor ? cursor : gdk_cursor_new_from_name(display, names.legacy);
}

}  // namespace

GdkCursor* CursorFor(PointerShape shape) {
  // Cursors live as long as the display, which is the process here.
  static std::map<PointerShape, GdkCursor*> cache;
  auto it = cache.find(shape);
  if (it == cache.end()) it = cache.emplace(shape, LoadCursor(shape)).first;
  return it->second;
}

}  // namespace lumora::gtk
