// The keymap of a Wayland seat, read once for the routes that type text by the keys of the
// compositor's layout (wlroots, KDE): the seat's capabilities arrive in a first roundtrip; a
// keyboard asked for then sends its keymap at once, so a second brings it, and the keyboard goes.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>

// Kept by the connection for as long as the seat: the seat's listener points to it and hears
// later capability changes too.
class SeatKeymap {
 public:
  SeatKeymap() = default;
  SeatKeymap(const SeatKeymap&) = delete;  // the listener holds its address
  SeatKeymap& operator=(const SeatKeymap&) = delete;

  // Reads the keymap of `seat` (bound at `seatVersion`); runs two roundtrips on `display`. Call
  // once per seat.
  void read(wl_display* display, wl_seat* seat, std::uint32_t seatVersion);
  // The keymap text, empty when the seat has no keyboard or sent no XKB keymap.
  const std::string& text() const { return keymap; }

 private:
  static void capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
  static void keymapEvent(void* data, wl_keyboard* keyboard, std::uint32_t format, std::int32_t fd,
                          std::uint32_t size);

  bool hasKeyboard = false;
  std::string keymap;
};
