// The key table: every physical key the agent can press, one row each, with its number on every
// platform side by side, in the manner of a keycode converter table:
//
// - name: the W3C UI Events KeyboardEvent.code value ("KeyA", "ArrowLeft", "Numpad5");
// - virtualKey: the macOS virtual key code, the number the agent's events carry;
// - linuxCode: the Linux input event code (KEY_* of <linux/input-event-codes.h>, named in the
//   comment of each row), which the Linux routes press;
// - xkbName: the XKB key name ("AC01" is the key in row C, column 1: A on a US layout), by which
//   the X11 route finds the server's keycode whatever its layout and numbering.
//
// Rows are in ascending order of virtual key (the macOS numbering by position on the ANSI
// keyboard, so "Digit6" is 22 and "Digit5" 23, and 10 has no row). The table is constant and
// checked at compile time: 98 rows, each name, virtual key, Linux code and XKB name once.
//
// Lookups, all without allocation and usable at compile time:
// - macVirtualKeyCode(name): the virtual key of a name, by exact, case-sensitive equality of the
//   whole name (no trimming, no folding); none for a name without a row, which is distinct from
//   code 0 ("KeyA");
// - keyNamed(name): the row of a name that must exist, for code that names a key ("ShiftLeft");
//   a name without a row does not compile;
// - findPhysicalKey(virtualKey), findLinuxKey(linuxCode): the row of a number, or null.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

struct PhysicalKey {
  std::string_view name;
  std::uint16_t virtualKey;
  std::uint16_t linuxCode;
  std::string_view xkbName;  // at most 4 characters, as in an XKB keymap
};

inline constexpr std::array<PhysicalKey, 98> kPhysicalKeys = {{
    {"KeyA", 0, 30, "AC01"},             // KEY_A
    {"KeyS", 1, 31, "AC02"},             // KEY_S
    {"KeyD", 2, 32, "AC03"},             // KEY_D
    {"KeyF", 3, 33, "AC04"},             // KEY_F
    {"KeyH", 4, 35, "AC06"},             // KEY_H
    {"KeyG", 5, 34, "AC05"},             // KEY_G
    {"KeyZ", 6, 44, "AB01"},             // KEY_Z
    {"KeyX", 7, 45, "AB02"},             // KEY_X
    {"KeyC", 8, 46, "AB03"},             // KEY_C
    {"KeyV", 9, 47, "AB04"},             // KEY_V
    {"KeyB", 11, 48, "AB05"},            // KEY_B
    {"KeyQ", 12, 16, "AD01"},            // KEY_Q
    {"KeyW", 13, 17, "AD02"},            // KEY_W
    {"KeyE", 14, 18, "AD03"},            // KEY_E
    {"KeyR", 15, 19, "AD04"},            // KEY_R
    {"KeyY", 16, 21, "AD06"},            // KEY_Y
    {"KeyT", 17, 20, "AD05"},            // KEY_T
    {"Digit1", 18, 2, "AE01"},           // KEY_1
    {"Digit2", 19, 3, "AE02"},           // KEY_2
    {"Digit3", 20, 4, "AE03"},           // KEY_3
    {"Digit4", 21, 5, "AE04"},           // KEY_4
    {"Digit6", 22, 7, "AE06"},           // KEY_6
    {"Digit5", 23, 6, "AE05"},           // KEY_5
    {"Equal", 24, 13, "AE12"},           // KEY_EQUAL
    {"Digit9", 25, 10, "AE09"},          // KEY_9
    {"Digit7", 26, 8, "AE07"},           // KEY_7
    {"Minus", 27, 12, "AE11"},           // KEY_MINUS
    {"Digit8", 28, 9, "AE08"},           // KEY_8
    {"Digit0", 29, 11, "AE10"},          // KEY_0
    {"BracketRight", 30, 27, "AD12"},    // KEY_RIGHTBRACE
    {"KeyO", 31, 24, "AD09"},            // KEY_O
    {"KeyU", 32, 22, "AD07"},            // KEY_U
    {"BracketLeft", 33, 26, "AD11"},     // KEY_LEFTBRACE
    {"KeyI", 34, 23, "AD08"},            // KEY_I
    {"KeyP", 35, 25, "AD10"},            // KEY_P
    {"Enter", 36, 28, "RTRN"},           // KEY_ENTER
    {"KeyL", 37, 38, "AC09"},            // KEY_L
    {"KeyJ", 38, 36, "AC07"},            // KEY_J
    {"Quote", 39, 40, "AC11"},           // KEY_APOSTROPHE
    {"KeyK", 40, 37, "AC08"},            // KEY_K
    {"Semicolon", 41, 39, "AC10"},       // KEY_SEMICOLON
    {"Backslash", 42, 43, "BKSL"},       // KEY_BACKSLASH
    {"Comma", 43, 51, "AB08"},           // KEY_COMMA
    {"Slash", 44, 53, "AB10"},           // KEY_SLASH
    {"KeyN", 45, 49, "AB06"},            // KEY_N
    {"KeyM", 46, 50, "AB07"},            // KEY_M
    {"Period", 47, 52, "AB09"},          // KEY_DOT
    {"Tab", 48, 15, "TAB"},              // KEY_TAB
    {"Space", 49, 57, "SPCE"},           // KEY_SPACE
    {"Backquote", 50, 41, "TLDE"},       // KEY_GRAVE
    {"Backspace", 51, 14, "BKSP"},       // KEY_BACKSPACE
    {"Escape", 53, 1, "ESC"},            // KEY_ESC
    {"MetaRight", 54, 126, "RWIN"},      // KEY_RIGHTMETA
    {"MetaLeft", 55, 125, "LWIN"},       // KEY_LEFTMETA
    {"ShiftLeft", 56, 42, "LFSH"},       // KEY_LEFTSHIFT
    {"CapsLock", 57, 58, "CAPS"},        // KEY_CAPSLOCK
    {"AltLeft", 58, 56, "LALT"},         // KEY_LEFTALT
    {"ControlLeft", 59, 29, "LCTL"},     // KEY_LEFTCTRL
    {"ShiftRight", 60, 54, "RTSH"},      // KEY_RIGHTSHIFT
    {"AltRight", 61, 100, "RALT"},       // KEY_RIGHTALT
    {"ControlRight", 62, 97, "RCTL"},    // KEY_RIGHTCTRL
    {"NumpadDecimal", 65, 83, "KPDL"},   // KEY_KPDOT
    {"NumpadMultiply", 67, 55, "KPMU"},  // KEY_KPASTERISK
    {"NumpadAdd", 69, 78, "KPAD"},       // KEY_KPPLUS
    {"NumpadDivide", 75, 98, "KPDV"},    // KEY_KPSLASH
    {"NumpadEnter", 76, 96, "KPEN"},     // KEY_KPENTER
    {"NumpadSubtract", 78, 74, "KPSU"},  // KEY_KPMINUS
    {"Numpad0", 82, 82, "KP0"},          // KEY_KP0
    {"Numpad1", 83, 79, "KP1"},          // KEY_KP1
    {"Numpad2", 84, 80, "KP2"},          // KEY_KP2
    {"Numpad3", 85, 81, "KP3"},          // KEY_KP3
    {"Numpad4", 86, 75, "KP4"},          // KEY_KP4
    {"Numpad5", 87, 76, "KP5"},          // KEY_KP5
    {"Numpad6", 88, 77, "KP6"},          // KEY_KP6
    {"Numpad7", 89, 71, "KP7"},          // KEY_KP7
    {"Numpad8", 91, 72, "KP8"},          // KEY_KP8
    {"Numpad9", 92, 73, "KP9"},          // KEY_KP9
    {"F5", 96, 63, "FK05"},              // KEY_F5
    {"F6", 97, 64, "FK06"},              // KEY_F6
    {"F7", 98, 65, "FK07"},              // KEY_F7
    {"F3", 99, 61, "FK03"},              // KEY_F3
    {"F8", 100, 66, "FK08"},             // KEY_F8
    {"F9", 101, 67, "FK09"},             // KEY_F9
    {"F11", 103, 87, "FK11"},            // KEY_F11
    {"F10", 109, 68, "FK10"},            // KEY_F10
    {"F12", 111, 88, "FK12"},            // KEY_F12
    {"Home", 115, 102, "HOME"},          // KEY_HOME
    {"PageUp", 116, 104, "PGUP"},        // KEY_PAGEUP
    {"Delete", 117, 111, "DELE"},        // KEY_DELETE
    {"F4", 118, 62, "FK04"},             // KEY_F4
    {"End", 119, 107, "END"},            // KEY_END
    {"F2", 120, 60, "FK02"},             // KEY_F2
    {"PageDown", 121, 109, "PGDN"},      // KEY_PAGEDOWN
    {"F1", 122, 59, "FK01"},             // KEY_F1
    {"ArrowLeft", 123, 105, "LEFT"},     // KEY_LEFT
    {"ArrowRight", 124, 106, "RGHT"},    // KEY_RIGHT
    {"ArrowDown", 125, 108, "DOWN"},     // KEY_DOWN
    {"ArrowUp", 126, 103, "UP"},         // KEY_UP
}};

namespace key_table_detail {

constexpr bool allDistinct() {
  for (std::size_t i = 0; i < kPhysicalKeys.size(); ++i) {
    const PhysicalKey& a = kPhysicalKeys[i];
    if (a.name.size() < 2 || a.name.size() > 14 || a.xkbName.empty() || a.xkbName.size() > 4) {
      return false;
    }
    if (i > 0 && !(kPhysicalKeys[i - 1].virtualKey < a.virtualKey)) return false;
    for (std::size_t j = i + 1; j < kPhysicalKeys.size(); ++j) {
      const PhysicalKey& b = kPhysicalKeys[j];
      if (a.name == b.name || a.virtualKey == b.virtualKey || a.linuxCode == b.linuxCode ||
          a.xkbName == b.xkbName) {
        return false;
      }
    }
  }
  return true;
}

// The rows' positions sorted by name, for a binary search. An insertion sort of its own:
// std::sort is not constexpr in the libc++ of the macOS SDKs.
constexpr std::array<std::uint8_t, kPhysicalKeys.size()> byName() {
  std::array<std::uint8_t, kPhysicalKeys.size()> order{};
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto row = static_cast<std::uint8_t>(i);
    std::size_t j = i;
    for (; j > 0 && kPhysicalKeys[row].name < kPhysicalKeys[order[j - 1]].name; --j) {
      order[j] = order[j - 1];
    }
    order[j] = row;
  }
  return order;
}
inline constexpr std::array<std::uint8_t, kPhysicalKeys.size()> kByName = byName();

}  // namespace key_table_detail

static_assert(kPhysicalKeys.size() == 98 && kPhysicalKeys.back().name == "ArrowUp",
              "the table has 98 filled rows");
static_assert(key_table_detail::allDistinct(),
              "rows in ascending order of virtual key; every name, virtual key, Linux code and "
              "XKB name once; names of 2 to 14 characters, XKB names of 1 to 4");

// The row of a name, or null.
constexpr const PhysicalKey* findKeyNamed(std::string_view name) {
  const auto& order = key_table_detail::kByName;
  std::size_t low = 0, high = order.size();
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    const PhysicalKey& key = kPhysicalKeys[order[mid]];
    if (key.name == name) return &key;
    if (key.name < name) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return nullptr;
}

constexpr std::optional<std::uint16_t> macVirtualKeyCode(std::string_view name) {
  const PhysicalKey* key = findKeyNamed(name);
  if (key == nullptr) return std::nullopt;
  return key->virtualKey;
}

// The row of a name that the table has, at compile time: a missing name does not compile.
consteval const PhysicalKey& keyNamed(std::string_view name) { return *findKeyNamed(name); }

// The row of a virtual key, or null when the table has none.
constexpr const PhysicalKey* findPhysicalKey(std::uint16_t virtualKey) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    if (key.virtualKey == virtualKey) return &key;
  }
  return nullptr;
}

// The row of a Linux input code, or null.
constexpr const PhysicalKey* findLinuxKey(std::uint32_t linuxCode) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    if (key.linuxCode == linuxCode) return &key;
  }
  return nullptr;
}

// X and XKB keycodes are Linux input codes plus this offset (the evdev rules).
inline constexpr std::uint32_t kXkbKeycodeOffset = 8;
