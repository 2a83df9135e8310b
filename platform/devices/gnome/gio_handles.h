// GNOME: ownership of GLib and GIO objects. GObjects are unreferenced, variants unreferenced,
// errors freed when their holder goes.
#pragma once

#include "platform/devices/gnome/gio_library.h"

#include <memory>

struct GObjectUnref {
  void operator()(gpointer object) const { gio().g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GVariantUnref {
  void operator()(GVariant* variant) const { gio().g_variant_unref(variant); }
};
using VariantPtr = std::unique_ptr<GVariant, GVariantUnref>;

struct GErrorFree {
  void operator()(GError* error) const { gio().g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, GErrorFree>;

struct MainContextUnref {
  void operator()(GMainContext* context) const { gio().g_main_context_unref(context); }
};
using MainContextPtr = std::unique_ptr<GMainContext, MainContextUnref>;
