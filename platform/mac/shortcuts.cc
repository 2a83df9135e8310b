// The macOS chords of the named shortcuts (see platform/shortcut_chords.h). Linked into the
// macOS agent and into the trace and null builds, which stand in for it.
#include "keys/key_table.h"
#include "platform/shortcut_chords.h"

namespace {

constexpr CGEventFlags kNone = 0;
consteval CGKeyCode key(std::string_view name) { return keyNamed(name).virtualKey; }

constexpr ShortcutChord kChords[] = {
    {"cmd_tab", key("Tab"), kCGEventFlagMaskCommand},
    {"alt_tab", key("Tab"), kCGEventFlagMaskAlternate},
    {"cmd_space", key("Space"), kCGEventFlagMaskCommand},
    {"win_key", key("Space"), kCGEventFlagMaskCommand},
    {"copy", key("KeyC"), kCGEventFlagMaskCommand},
    {"paste", key("KeyV"), kCGEventFlagMaskCommand},
    {"lock_screen", key("KeyQ"), kCGEventFlagMaskControl | kCGEventFlagMaskCommand},
    {"show_desktop", key("F11"), kNone},
    {"ctrl_alt_del", key("Escape"), kCGEventFlagMaskAlternate | kCGEventFlagMaskCommand},
};

}  // namespace

std::span<const ShortcutChord> shortcutChords() { return kChords; }
