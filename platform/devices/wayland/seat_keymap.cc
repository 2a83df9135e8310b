// A Wayland seat's keymap (see seat_keymap.h).
#include "platform/devices/wayland/seat_keymap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace {

void seatName(void*, wl_seat*, const char*) {}
void keyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void keyboardKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void keyboardModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t, std::uint32_t) {}
void keyboardRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

}  // namespace

void SeatKeymap::capabilities(void* data, wl_seat*, std::uint32_t capabilities) {
  static_cast<SeatKeymap*>(data)->hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
}

void SeatKeymap::keymapEvent(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
                             std::uint32_t size) {
  auto* self = static_cast<SeatKeymap*>(data);
  if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && self->keymap.empty()) {
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) {
      const char* chars = static_cast<const char*>(mapped);
      self->keymap.assign(chars, strnlen(chars, size));
      munmap(mapped, size);
    }
  }
  close(fd);
}

void SeatKeymap::read(wl_display* display, wl_seat* seat, std::uint32_t seatVersion) {
  static const wl_seat_listener seatListener = {capabilities, seatName};
  static const wl_keyboard_listener keyboardListener = {
      keymapEvent, keyboardEnter, keyboardLeave, keyboardKey, keyboardModifiers, keyboardRepeat};
  wl_seat_add_listener(seat, &seatListener, this);
  wl_display_roundtrip(display);
  if (!hasKeyboard || wl_display_get_error(display) != 0) return;
  wl_keyboard* keyboard = wl_seat_get_keyboard(seat);
  wl_keyboard_add_listener(keyboard, &keyboardListener, this);
  wl_display_roundtrip(display);
  if (seatVersion >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
    wl_keyboard_release(keyboard);
  } else {
    wl_keyboard_destroy(keyboard);
  }
}
