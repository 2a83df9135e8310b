// The key table: every physical key the agent can press, one row each, with its number on every
// platform side by side, in the manner of a keycode converter table:
//
// - name: the W3C UI Events KeyboardEvent.code value ("KeyA", "ArrowLeft", "Numpad5");
// - virtualKey: the macOS virtual key code, the number the agent's events carry;
// - linuxCode: the Linux input event code (KEY_* of <linux/input-event-codes.h>, named in the
//   comment of each row), which the Linux routes press;
// - xkbName: the XKB key name ("AC01" is the key in row C, column 1: A on a US layout), by which
//   the X11 route finds the server's keycode whatever its layout and numbering;
// - windowsScanCode and windowsVirtualKey: the Windows set-1 scan code (0xE0 in the high byte for
//   an extended key) and the virtual key (named in the comment), both of which the Windows route
//   sends, since Windows applications read either.
//
// Rows are in ascending order of virtual key (the macOS numbering by position on the ANSI
// keyboard, so "Digit6" is 22 and "Digit5" 23, and 10 has no row). The table is constant and
// checked at compile time: 98 rows, each name, virtual key, Linux code, XKB name and Windows
// scan code once, each Windows virtual key once among the extended keys and once among the
// others (Enter and NumpadEnter are both VK_RETURN), and a key that is not extended has the
// scan code that equals its Linux code.
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
  // The set-1 scan code, 0xE0 in the high byte for an extended key (KEYEVENTF_EXTENDEDKEY).
  std::uint16_t windowsScanCode;
  std::uint8_t windowsVirtualKey;  // VK_*, a left or right one for a modifier
};

inline constexpr std::array<PhysicalKey, 98> kPhysicalKeys = {{
    {"KeyA", 0, 30, "AC01", 0x001E, 0x41},             // KEY_A, 'A'
    {"KeyS", 1, 31, "AC02", 0x001F, 0x53},             // KEY_S, 'S'
    {"KeyD", 2, 32, "AC03", 0x0020, 0x44},             // KEY_D, 'D'
    {"KeyF", 3, 33, "AC04", 0x0021, 0x46},             // KEY_F, 'F'
    {"KeyH", 4, 35, "AC06", 0x0023, 0x48},             // KEY_H, 'H'
    {"KeyG", 5, 34, "AC05", 0x0022, 0x47},             // KEY_G, 'G'
    {"KeyZ", 6, 44, "AB01", 0x002C, 0x5A},             // KEY_Z, 'Z'
    {"KeyX", 7, 45, "AB02", 0x002D, 0x58},             // KEY_X, 'X'
    {"KeyC", 8, 46, "AB03", 0x002E, 0x43},             // KEY_C, 'C'
    {"KeyV", 9, 47, "AB04", 0x002F, 0x56},             // KEY_V, 'V'
    {"KeyB", 11, 48, "AB05", 0x0030, 0x42},            // KEY_B, 'B'
    {"KeyQ", 12, 16, "AD01", 0x0010, 0x51},            // KEY_Q, 'Q'
    {"KeyW", 13, 17, "AD02", 0x0011, 0x57},            // KEY_W, 'W'
    {"KeyE", 14, 18, "AD03", 0x0012, 0x45},            // KEY_E, 'E'
    {"KeyR", 15, 19, "AD04", 0x0013, 0x52},            // KEY_R, 'R'
    {"KeyY", 16, 21, "AD06", 0x0015, 0x59},            // KEY_Y, 'Y'
    {"KeyT", 17, 20, "AD05", 0x0014, 0x54},            // KEY_T, 'T'
    {"Digit1", 18, 2, "AE01", 0x0002, 0x31},           // KEY_1, '1'
    {"Digit2", 19, 3, "AE02", 0x0003, 0x32},           // KEY_2, '2'
    {"Digit3", 20, 4, "AE03", 0x0004, 0x33},           // KEY_3, '3'
    {"Digit4", 21, 5, "AE04", 0x0005, 0x34},           // KEY_4, '4'
    {"Digit6", 22, 7, "AE06", 0x0007, 0x36},           // KEY_6, '6'
    {"Digit5", 23, 6, "AE05", 0x0006, 0x35},           // KEY_5, '5'
    {"Equal", 24, 13, "AE12", 0x000D, 0xBB},           // KEY_EQUAL, VK_OEM_PLUS
    {"Digit9", 25, 10, "AE09", 0x000A, 0x39},          // KEY_9, '9'
    {"Digit7", 26, 8, "AE07", 0x0008, 0x37},           // KEY_7, '7'
    {"Minus", 27, 12, "AE11", 0x000C, 0xBD},           // KEY_MINUS, VK_OEM_MINUS
    {"Digit8", 28, 9, "AE08", 0x0009, 0x38},           // KEY_8, '8'
    {"Digit0", 29, 11, "AE10", 0x000B, 0x30},          // KEY_0, '0'
    {"BracketRight", 30, 27, "AD12", 0x001B, 0xDD},    // KEY_RIGHTBRACE, VK_OEM_6
    {"KeyO", 31, 24, "AD09", 0x0018, 0x4F},            // KEY_O, 'O'
    {"KeyU", 32, 22, "AD07", 0x0016, 0x55},            // KEY_U, 'U'
    {"BracketLeft", 33, 26, "AD11", 0x001A, 0xDB},     // KEY_LEFTBRACE, VK_OEM_4
    {"KeyI", 34, 23, "AD08", 0x0017, 0x49},            // KEY_I, 'I'
    {"KeyP", 35, 25, "AD10", 0x0019, 0x50},            // KEY_P, 'P'
    {"Enter", 36, 28, "RTRN", 0x001C, 0x0D},           // KEY_ENTER, VK_RETURN
    {"KeyL", 37, 38, "AC09", 0x0026, 0x4C},            // KEY_L, 'L'
    {"KeyJ", 38, 36, "AC07", 0x0024, 0x4A},            // KEY_J, 'J'
    {"Quote", 39, 40, "AC11", 0x0028, 0xDE},           // KEY_APOSTROPHE, VK_OEM_7
    {"KeyK", 40, 37, "AC08", 0x0025, 0x4B},            // KEY_K, 'K'
    {"Semicolon", 41, 39, "AC10", 0x0027, 0xBA},       // KEY_SEMICOLON, VK_OEM_1
    {"Backslash", 42, 43, "BKSL", 0x002B, 0xDC},       // KEY_BACKSLASH, VK_OEM_5
    {"Comma", 43, 51, "AB08", 0x0033, 0xBC},           // KEY_COMMA, VK_OEM_COMMA
    {"Slash", 44, 53, "AB10", 0x0035, 0xBF},           // KEY_SLASH, VK_OEM_2
    {"KeyN", 45, 49, "AB06", 0x0031, 0x4E},            // KEY_N, 'N'
    {"KeyM", 46, 50, "AB07", 0x0032, 0x4D},            // KEY_M, 'M'
    {"Period", 47, 52, "AB09", 0x0034, 0xBE},          // KEY_DOT, VK_OEM_PERIOD
    {"Tab", 48, 15, "TAB", 0x000F, 0x09},              // KEY_TAB, VK_TAB
    {"Space", 49, 57, "SPCE", 0x0039, 0x20},           // KEY_SPACE, VK_SPACE
    {"Backquote", 50, 41, "TLDE", 0x0029, 0xC0},       // KEY_GRAVE, VK_OEM_3
    {"Backspace", 51, 14, "BKSP", 0x000E, 0x08},       // KEY_BACKSPACE, VK_BACK
    {"Escape", 53, 1, "ESC", 0x0001, 0x1B},            // KEY_ESC, VK_ESCAPE
    {"MetaRight", 54, 126, "RWIN", 0xE05C, 0x5C},      // KEY_RIGHTMETA, VK_RWIN
    {"MetaLeft", 55, 125, "LWIN", 0xE05B, 0x5B},       // KEY_LEFTMETA, VK_LWIN
    {"ShiftLeft", 56, 42, "LFSH", 0x002A, 0xA0},       // KEY_LEFTSHIFT, VK_LSHIFT
    {"CapsLock", 57, 58, "CAPS", 0x003A, 0x14},        // KEY_CAPSLOCK, VK_CAPITAL
    {"AltLeft", 58, 56, "LALT", 0x0038, 0xA4},         // KEY_LEFTALT, VK_LMENU
    {"ControlLeft", 59, 29, "LCTL", 0x001D, 0xA2},     // KEY_LEFTCTRL, VK_LCONTROL
    {"ShiftRight", 60, 54, "RTSH", 0x0036, 0xA1},      // KEY_RIGHTSHIFT, VK_RSHIFT
    {"AltRight", 61, 100, "RALT", 0xE038, 0xA5},       // KEY_RIGHTALT, VK_RMENU
    {"ControlRight", 62, 97, "RCTL", 0xE01D, 0xA3},    // KEY_RIGHTCTRL, VK_RCONTROL
    {"NumpadDecimal", 65, 83, "KPDL", 0x0053, 0x6E},   // KEY_KPDOT, VK_DECIMAL
    {"NumpadMultiply", 67, 55, "KPMU", 0x0037, 0x6A},  // KEY_KPASTERISK, VK_MULTIPLY
    {"NumpadAdd", 69, 78, "KPAD", 0x004E, 0x6B},       // KEY_KPPLUS, VK_ADD
    {"NumpadDivide", 75, 98, "KPDV", 0xE035, 0x6F},    // KEY_KPSLASH, VK_DIVIDE
    {"NumpadEnter", 76, 96, "KPEN", 0xE01C, 0x0D},     // KEY_KPENTER, VK_RETURN
    {"NumpadSubtract", 78, 74, "KPSU", 0x004A, 0x6D},  // KEY_KPMINUS, VK_SUBTRACT
    {"Numpad0", 82, 82, "KP0", 0x0052, 0x60},          // KEY_KP0, VK_NUMPAD0
    {"Numpad1", 83, 79, "KP1", 0x004F, 0x61},          // KEY_KP1, VK_NUMPAD1
    {"Numpad2", 84, 80, "KP2", 0x0050, 0x62},          // KEY_KP2, VK_NUMPAD2
    {"Numpad3", 85, 81, "KP3", 0x0051, 0x63},          // KEY_KP3, VK_NUMPAD3
    {"Numpad4", 86, 75, "KP4", 0x004B, 0x64},          // KEY_KP4, VK_NUMPAD4
    {"Numpad5", 87, 76, "KP5", 0x004C, 0x65},          // KEY_KP5, VK_NUMPAD5
    {"Numpad6", 88, 77, "KP6", 0x004D, 0x66},          // KEY_KP6, VK_NUMPAD6
    {"Numpad7", 89, 71, "KP7", 0x0047, 0x67},          // KEY_KP7, VK_NUMPAD7
    {"Numpad8", 91, 72, "KP8", 0x0048, 0x68},          // KEY_KP8, VK_NUMPAD8
    {"Numpad9", 92, 73, "KP9", 0x0049, 0x69},          // KEY_KP9, VK_NUMPAD9
    {"F5", 96, 63, "FK05", 0x003F, 0x74},              // KEY_F5, VK_F5
    {"F6", 97, 64, "FK06", 0x0040, 0x75},              // KEY_F6, VK_F6
    {"F7", 98, 65, "FK07", 0x0041, 0x76},              // KEY_F7, VK_F7
    {"F3", 99, 61, "FK03", 0x003D, 0x72},              // KEY_F3, VK_F3
    {"F8", 100, 66, "FK08", 0x0042, 0x77},             // KEY_F8, VK_F8
    {"F9", 101, 67, "FK09", 0x0043, 0x78},             // KEY_F9, VK_F9
    {"F11", 103, 87, "FK11", 0x0057, 0x7A},            // KEY_F11, VK_F11
    {"F10", 109, 68, "FK10", 0x0044, 0x79},            // KEY_F10, VK_F10
    {"F12", 111, 88, "FK12", 0x0058, 0x7B},            // KEY_F12, VK_F12
    {"Home", 115, 102, "HOME", 0xE047, 0x24},          // KEY_HOME, VK_HOME
    {"PageUp", 116, 104, "PGUP", 0xE049, 0x21},        // KEY_PAGEUP, VK_PRIOR
    {"Delete", 117, 111, "DELE", 0xE053, 0x2E},        // KEY_DELETE, VK_DELETE
    {"F4", 118, 62, "FK04", 0x003E, 0x73},             // KEY_F4, VK_F4
    {"End", 119, 107, "END", 0xE04F, 0x23},            // KEY_END, VK_END
    {"F2", 120, 60, "FK02", 0x003C, 0x71},             // KEY_F2, VK_F2
    {"PageDown", 121, 109, "PGDN", 0xE051, 0x22},      // KEY_PAGEDOWN, VK_NEXT
    {"F1", 122, 59, "FK01", 0x003B, 0x70},             // KEY_F1, VK_F1
    {"ArrowLeft", 123, 105, "LEFT", 0xE04B, 0x25},     // KEY_LEFT, VK_LEFT
    {"ArrowRight", 124, 106, "RGHT", 0xE04D, 0x27},    // KEY_RIGHT, VK_RIGHT
    {"ArrowDown", 125, 108, "DOWN", 0xE050, 0x28},     // KEY_DOWN, VK_DOWN
    {"ArrowUp", 126, 103, "UP", 0xE048, 0x26},         // KEY_UP, VK_UP
}};

namespace key_table_detail {

constexpr bool allDistinct() {
  for (std::size_t i = 0; i < kPhysicalKeys.size(); ++i) {
    const PhysicalKey& a = kPhysicalKeys[i];
    if (a.name.size() < 2 || a.name.size() > 14 || a.xkbName.empty() || a.xkbName.size() > 4) {
      return false;
    }
    if (i > 0 && !(kPhysicalKeys[i - 1].virtualKey < a.virtualKey)) return false;
    const unsigned extended = a.windowsScanCode >> 8;
    if ((extended != 0 && extended != 0xE0) || a.windowsVirtualKey == 0 ||
        (extended == 0 && a.windowsScanCode != a.linuxCode)) {
      return false;
    }
    for (std::size_t j = i + 1; j < kPhysicalKeys.size(); ++j) {
      const PhysicalKey& b = kPhysicalKeys[j];
      if (a.name == b.name || a.virtualKey == b.virtualKey || a.linuxCode == b.linuxCode ||
          a.xkbName == b.xkbName || a.windowsScanCode == b.windowsScanCode) {
        return false;
      }
      if (a.windowsVirtualKey == b.windowsVirtualKey &&
          (a.windowsScanCode >> 8) == (b.windowsScanCode >> 8)) {
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
              "rows in ascending order of virtual key; every name, virtual key, Linux code, XKB "
              "name and Windows scan code once, Windows virtual keys once per extended or not; "
              "names of 2 to 14 characters, XKB names of 1 to 4");

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
