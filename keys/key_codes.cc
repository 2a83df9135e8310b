// The key code table, in ascending order of code, and its lookup. The codes follow the
// platform's numbering by position on the ANSI keyboard, so they are not in the order of the
// names ("Digit6" is 22, "Digit5" 23; "KeyB" is 11 and 10 has no row).
#include "keys/key_codes.h"

#include <algorithm>

namespace {

constexpr std::array<KeyCodeRow, kKeyCodeRows> kRows{{
    {"KeyA", 0},
    {"KeyS", 1},
    {"KeyD", 2},
    {"KeyF", 3},
    {"KeyH", 4},
    {"KeyG", 5},
    {"KeyZ", 6},
    {"KeyX", 7},
    {"KeyC", 8},
    {"KeyV", 9},
    {"KeyB", 11},
    {"KeyQ", 12},
    {"KeyW", 13},
    {"KeyE", 14},
    {"KeyR", 15},
    {"KeyY", 16},
    {"KeyT", 17},
    {"Digit1", 18},
    {"Digit2", 19},
    {"Digit3", 20},
    {"Digit4", 21},
    {"Digit6", 22},
    {"Digit5", 23},
    {"Equal", 24},
    {"Digit9", 25},
    {"Digit7", 26},
    {"Minus", 27},
    {"Digit8", 28},
    {"Digit0", 29},
    {"BracketRight", 30},
    {"KeyO", 31},
    {"KeyU", 32},
    {"BracketLeft", 33},
    {"KeyI", 34},
    {"KeyP", 35},
    {"Enter", 36},
    {"KeyL", 37},
    {"KeyJ", 38},
    {"Quote", 39},
    {"KeyK", 40},
    {"Semicolon", 41},
    {"Backslash", 42},
    {"Comma", 43},
    {"Slash", 44},
    {"KeyN", 45},
    {"KeyM", 46},
    {"Period", 47},
    {"Tab", 48},
    {"Space", 49},
    {"Backquote", 50},
    {"Backspace", 51},
    {"Escape", 53},
    {"MetaRight", 54},
    {"MetaLeft", 55},
    {"ShiftLeft", 56},
    {"CapsLock", 57},
    {"AltLeft", 58},
    {"ControlLeft", 59},
    {"ShiftRight", 60},
    {"AltRight", 61},
    {"ControlRight", 62},
    {"NumpadDecimal", 65},
    {"NumpadMultiply", 67},
    {"NumpadAdd", 69},
    {"NumpadDivide", 75},
    {"NumpadEnter", 76},
    {"NumpadSubtract", 78},
    {"Numpad0", 82},
    {"Numpad1", 83},
    {"Numpad2", 84},
    {"Numpad3", 85},
    {"Numpad4", 86},
    {"Numpad5", 87},
    {"Numpad6", 88},
    {"Numpad7", 89},
    {"Numpad8", 91},
    {"Numpad9", 92},
    {"F5", 96},
    {"F6", 97},
    {"F7", 98},
    {"F3", 99},
    {"F8", 100},
    {"F9", 101},
    {"F11", 103},
    {"F10", 109},
    {"F12", 111},
    {"Home", 115},
    {"PageUp", 116},
    {"Delete", 117},
    {"F4", 118},
    {"End", 119},
    {"F2", 120},
    {"PageDown", 121},
    {"F1", 122},
    {"ArrowLeft", 123},
    {"ArrowRight", 124},
    {"ArrowDown", 125},
    {"ArrowUp", 126},
}};

constexpr bool namesAndCodesUnique() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (kRows[i].name.empty()) return false;
    for (std::size_t j = i + 1; j < kRows.size(); ++j) {
      if (kRows[i].name == kRows[j].name || kRows[i].code == kRows[j].code) return false;
    }
  }
  return true;
}
static_assert(kRows.back().name == "ArrowUp", "the table has 98 filled rows");
static_assert(namesAndCodesUnique(), "every name and every code occurs once");

// The same rows sorted by name, made once at compile time, for a binary search. An insertion
// sort of its own: std::sort is not constexpr in the libc++ of the macOS SDKs.
constexpr std::array<KeyCodeRow, kKeyCodeRows> sortedByName() {
  std::array<KeyCodeRow, kKeyCodeRows> rows = kRows;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const KeyCodeRow row = rows[i];
    std::size_t j = i;
    for (; j > 0 && row.name < rows[j - 1].name; --j) rows[j] = rows[j - 1];
    rows[j] = row;
  }
  return rows;
}
constexpr std::array<KeyCodeRow, kKeyCodeRows> kByName = sortedByName();

constexpr bool strictlyAscendingByName() {
  for (std::size_t i = 1; i < kByName.size(); ++i) {
    if (!(kByName[i - 1].name < kByName[i].name)) return false;
  }
  return true;
}
static_assert(strictlyAscendingByName(), "the binary search needs the names in order");

}  // namespace

const std::array<KeyCodeRow, kKeyCodeRows> kKeyCodeTable = kRows;

std::optional<std::uint16_t> macVirtualKeyCode(std::string_view name) {
  const auto it = std::lower_bound(
      kByName.begin(), kByName.end(), name,
      [](const KeyCodeRow& row, std::string_view wanted) { return row.name < wanted; });
  if (it == kByName.end() || it->name != name) return std::nullopt;
  return it->code;
}
