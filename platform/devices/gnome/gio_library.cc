// GNOME: GIO loaded at run time (see gio_library.h).
#include "platform/devices/gnome/gio_library.h"

#include <dlfcn.h>

namespace {

GioLibrary table;

bool load() {
  // Found by the dynamic linker as any library is; GLib and GObject come with it.
  void* handle = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  bool complete = true;
#define INPUT_AGENT_GIO_LOOKUP(name)                                           \
  table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name)); \
  complete = complete && table.name != nullptr;
  INPUT_AGENT_GIO_FUNCTIONS(INPUT_AGENT_GIO_LOOKUP)
#undef INPUT_AGENT_GIO_LOOKUP
  return complete;
}

}  // namespace

bool loadGio() {
  static const bool loaded = load();
  return loaded;
}

const GioLibrary& gio() { return table; }
