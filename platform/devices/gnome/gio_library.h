// GNOME: GLib's D-Bus library (GIO), loaded with dlopen only when the GNOME route is tried, so
// that the agent pays nothing for GLib, GObject and GIO (and what they load: libmount, libselinux,
// pcre2, ...) at start on every other desktop. The functions the route calls are looked up once
// into one table, named as GLib names them; the route's code calls them through it
// (gio().g_variant_new(...)) and links no GLib symbol of its own.
//
// The library stays loaded to the end of the process: GLib keeps threads and type data that
// must not be unloaded.
#pragma once

#include <gio/gio.h>

struct GioLibrary {
#define INPUT_AGENT_GIO_FUNCTIONS(F)                                                        \
  F(g_object_unref)                                                                         \
  F(g_error_free)                                                                           \
  F(g_log_set_writer_func)                                                                  \
  F(g_get_monotonic_time)                                                                   \
  F(g_usleep)                                                                               \
  F(g_main_context_new)                                                                     \
  F(g_main_context_unref)                                                                   \
  F(g_main_context_push_thread_default)                                                     \
  F(g_main_context_pop_thread_default)                                                      \
  F(g_main_context_iteration)                                                               \
  F(g_variant_new)                                                                          \
  F(g_variant_new_string)                                                                   \
  F(g_variant_unref)                                                                        \
  F(g_variant_get)                                                                          \
  F(g_variant_get_child)                                                                    \
  F(g_variant_get_child_value)                                                              \
  F(g_variant_get_variant)                                                                  \
  F(g_variant_get_string)                                                                   \
  F(g_variant_n_children)                                                                   \
  F(g_variant_is_of_type)                                                                   \
  F(g_variant_lookup)                                                                       \
  F(g_variant_builder_init)                                                                 \
  F(g_variant_builder_add)                                                                  \
  F(g_dbus_connection_new_for_address_sync)                                                 \
  F(g_dbus_connection_set_exit_on_close)                                                    \
  F(g_dbus_connection_call)                                                                 \
  F(g_dbus_connection_call_sync)                                                            \
  F(g_dbus_connection_flush_sync)                                                           \
  F(g_dbus_connection_close_sync)                                                           \
  F(g_dbus_connection_signal_subscribe)                                                     \
  F(g_dbus_connection_signal_unsubscribe)
#define INPUT_AGENT_GIO_MEMBER(name) decltype(&::name) name = nullptr;
  INPUT_AGENT_GIO_FUNCTIONS(INPUT_AGENT_GIO_MEMBER)
#undef INPUT_AGENT_GIO_MEMBER
};

// Loads the library once; false when it (or one of the functions) is not there.
bool loadGio();
// The table; only after loadGio() returned true.
const GioLibrary& gio();

// A GVariantType from its type string, as G_VARIANT_TYPE gives it without its check (which
// would call into GLib outside the table).
inline const GVariantType* variantType(const char* typeString) {
  return reinterpret_cast<const GVariantType*>(typeString);
}
