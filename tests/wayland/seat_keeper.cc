// wayland-seat-keeper: keeps a pointer and a keyboard on the seat of a headless compositor for
// the whole test session. A headless seat has no devices of its own, and a client that starts
// while the seat has none gets no pointer or keyboard objects, so it would miss the agent's first
// events. This client makes a virtual pointer and a virtual keyboard (with the standard keymap),
// prints "ready" and then sends nothing, until it is ended. Its keymap has the layout that
// SEAT_KEEPER_LAYOUT names ("us" without it), which makes it the seat's keymap.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wayland/virtual_device_globals.h"

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fputs("seat keeper: no compositor\n", stderr);
    return 1;
  }
  const auto [seat, pointers, keyboards] = bindVirtualDeviceGlobals(display);
  if (!seat || !pointers || !keyboards) {
    std::fputs("seat keeper: the compositor lacks the seat or a virtual device manager\n", stderr);
    return 1;
  }

  zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, seat);
  zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const char* layout = std::getenv("SEAT_KEEPER_LAYOUT");
  const xkb_rule_names names{"evdev", "pc105", layout != nullptr ? layout : "us", "", ""};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (keymap == nullptr) return 1;
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  const size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("seat-keeper-keymap", MFD_CLOEXEC);
  if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) return 1;
  zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
  close(fd);
  std::free(text);
  if (wl_display_roundtrip(display) < 0) return 1;
  std::puts("ready");
  std::fflush(stdout);
  while (wl_display_dispatch(display) >= 0) {
  }
  return 0;
}
