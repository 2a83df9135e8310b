// X11: the server's keycode for each physical key of the key table, found once when the route
// opens, by the key's XKB name in the server's keymap (aliases included), so the same physical
// key is pressed whatever the layout; only a key whose name the server lacks, or a server without
// XKB, falls back to the evdev numbering (Linux code plus 8).
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <vector>

#include "keys/key_table.h"

using KeycodeTable = std::array<KeyCode, kPhysicalKeys.size()>;

// 0 where the server has no keycode for a row.
KeycodeTable resolveKeycodes(Display* display);

// The row of a key in the table.
constexpr std::size_t rowOf(const PhysicalKey& key) {
  return static_cast<std::size_t>(&key - kPhysicalKeys.data());
}

// The keycodes in use, without the zeros.
std::vector<KeyCode> keycodesInUse(const KeycodeTable& keycodes);
