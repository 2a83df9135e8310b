// wlroots: the keymaps the agent uploads to its two virtual keyboards.
//
// - Keys: the seat's current keymap where it could be read, so that keys type what the user's
//   layout puts there, else the standard one (evdev rules, pc105, us), as xkbcommon writes it.
// - Text: a small keymap of its own whose slots are the keycodes typed text may use
//   (the wayland column of platform/devices/linux/text_keycodes.h: none acts as a function key
//   in a toolkit that reads the key's physical identity), each bound to one keysym or to none.
//   Being small, it compiles fast in the compositor and in the window, which both compile every
//   upload.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/devices/linux/text_keycodes.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

// The keys keymap's text, ending in a NUL as the protocol wants; none when even the standard
// keymap cannot be made.
std::optional<std::string> keysKeymapText(xkb_context* context, const std::string& seatKeymap);

class TextKeymap {
 public:
  static constexpr std::size_t kSlots = kWaylandTextKeycodes.size();

  static xkb_keycode_t keycodeOf(std::size_t slot) { return kWaylandTextKeycodes[slot]; }
  // Binds a slot to a keysym (XKB_KEY_NoSymbol unbinds it).
  void bind(std::size_t slot, xkb_keysym_t keysym) { bound[slot] = keysym; }
  xkb_keysym_t boundTo(std::size_t slot) const { return bound[slot]; }
  // The keymap text with the bound slots, ending in a NUL.
  std::string text() const;

 private:
  std::array<xkb_keysym_t, kSlots> bound{};
};

// Uploads keymap text (with its NUL) to a virtual keyboard, as a memory file that the request
// carries; libwayland duplicates the descriptor when the request is queued.
void uploadKeymap(zwp_virtual_keyboard_v1* keyboard, const std::string& text);
