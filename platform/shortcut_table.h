// The named shortcuts, one row each, with the chord that stands for it on every platform side by
// side: macOS (and the trace and null builds that stand in for it), and the platforms with
// devices (Linux and Windows), where a desktop user presses other keys for the same action. A
// chord is a key of the key table, named, with fixed modifier flags. Each platform's
// shortcutChords() (platform/shortcut_chords.h) is its column; names are compared exactly, in
// table order.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "keys/key_table.h"
#include "platform/shortcut_chords.h"

struct ShortcutColumns {
  std::string_view name;
  struct Chord {
    std::string_view key;
    CGEventFlags flags;
  } mac, devices;
};

namespace shortcut_table_detail {

constexpr CGEventFlags kNone = 0;
constexpr CGEventFlags kCommand = kCGEventFlagMaskCommand;
constexpr CGEventFlags kOption = kCGEventFlagMaskAlternate;
constexpr CGEventFlags kControl = kCGEventFlagMaskControl;

// On the platforms with devices the Command flag and the Meta keys are Super (the Windows key):
// "win_key" and "cmd_space" are a tap of the left Super key alone, which desktops take as "open
// the launcher or overview".
inline constexpr ShortcutColumns kShortcuts[] = {
    {"cmd_tab", {"Tab", kCommand}, {"Tab", kOption}},
    {"alt_tab", {"Tab", kOption}, {"Tab", kOption}},
    {"cmd_space", {"Space", kCommand}, {"MetaLeft", kNone}},
    {"win_key", {"Space", kCommand}, {"MetaLeft", kNone}},
    {"copy", {"KeyC", kCommand}, {"KeyC", kControl}},
    {"paste", {"KeyV", kCommand}, {"KeyV", kControl}},
    {"lock_screen", {"KeyQ", kControl | kCommand}, {"KeyL", kCommand}},
    {"show_desktop", {"F11", kNone}, {"KeyD", kCommand}},
    {"ctrl_alt_del", {"Escape", kOption | kCommand}, {"Delete", kControl | kOption}},
};

}  // namespace shortcut_table_detail

// One column of the table as the injector reads it: the chord's key as its virtual key. Every
// key name must be in the key table, or this does not compile.
template <ShortcutColumns::Chord ShortcutColumns::*Column>
consteval auto shortcutColumn() {
  using shortcut_table_detail::kShortcuts;
  std::array<ShortcutChord, std::size(kShortcuts)> chords{};
  for (std::size_t i = 0; i < chords.size(); ++i) {
    const ShortcutColumns::Chord& chord = kShortcuts[i].*Column;
    chords[i] = {kShortcuts[i].name, findKeyNamed(chord.key)->virtualKey, chord.flags};
  }
  return chords;
}
