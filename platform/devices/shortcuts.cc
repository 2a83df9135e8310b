// The chords of the named shortcuts on the platforms with devices (see
// platform/shortcut_chords.h): what a Linux desktop user presses for each action, the same keys
// a Windows user knows. The Command flag and the Meta keys are Super (the Windows key), so
// "win_key" and "cmd_space" are a tap of the left Super key alone, which desktops take as "open
// the launcher or overview": a deliberate lone tap.
#include "keys/key_table.h"
#include "platform/shortcut_chords.h"

namespace {

constexpr CGEventFlags kNone = 0;
consteval CGKeyCode key(std::string_view name) { return keyNamed(name).virtualKey; }

constexpr ShortcutChord kChords[] = {
    {"cmd_tab", key("Tab"), kCGEventFlagMaskAlternate},
    {"alt_tab", key("Tab"), kCGEventFlagMaskAlternate},
    {"cmd_space", key("MetaLeft"), kNone},
    {"win_key", key("MetaLeft"), kNone},
    {"copy", key("KeyC"), kCGEventFlagMaskControl},
    {"paste", key("KeyV"), kCGEventFlagMaskControl},
    {"lock_screen", key("KeyL"), kCGEventFlagMaskCommand},
    {"show_desktop", key("KeyD"), kCGEventFlagMaskCommand},
    {"ctrl_alt_del", key("Delete"), kCGEventFlagMaskControl | kCGEventFlagMaskAlternate},
};

}  // namespace

std::span<const ShortcutChord> shortcutChords() { return kChords; }
