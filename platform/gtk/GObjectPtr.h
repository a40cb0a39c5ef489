#pragma once

#include <glib-object.h>

#include <memory>

namespace lumora::gtk {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};

// Owns one reference to a GObject.
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Takes the source off its main context, so its callback never runs again, and drops it.
struct SourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

// Owns one reference to a GSource and keeps it attached for that long.
using SourcePtr = std::unique_ptr<GSource, SourceDestroy>;

}  // namespace lumora::gtk
