// The Linux chords of the named shortcuts (see platform/shortcut_chords.h), for every Linux
// route: what a Linux desktop user presses for each action. The Command flag and virtual key 55
// (Command) are the Super key on Linux, so "win_key" and "cmd_space" are a tap of Super alone,
// which desktops take as "open the launcher or overview".
#include "platform/shortcut_chords.h"

namespace {

constexpr CGEventFlags kNone = 0;
constexpr CGKeyCode kTab = 48, kC = 8, kV = 9, kL = 37, kD = 2, kDelete = 117, kSuper = 55;

constexpr ShortcutChord kChords[] = {
    {"cmd_tab", kTab, kCGEventFlagMaskAlternate},
    {"alt_tab", kTab, kCGEventFlagMaskAlternate},
    {"cmd_space", kSuper, kNone},
    {"win_key", kSuper, kNone},
    {"copy", kC, kCGEventFlagMaskControl},
    {"paste", kV, kCGEventFlagMaskControl},
    {"lock_screen", kL, kCGEventFlagMaskCommand},
    {"show_desktop", kD, kCGEventFlagMaskCommand},
    {"ctrl_alt_del", kDelete, kCGEventFlagMaskControl | kCGEventFlagMaskAlternate},
};

}  // namespace

std::span<const ShortcutChord> shortcutChords() { return kChords; }
