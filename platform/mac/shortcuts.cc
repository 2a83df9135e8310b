// The macOS chords of the named shortcuts (see platform/shortcut_chords.h). Linked into the
// macOS agent and into the trace and null builds, which stand in for it.
#include "platform/shortcut_chords.h"

namespace {

constexpr CGEventFlags kNone = 0;

constexpr ShortcutChord kChords[] = {
    {"cmd_tab", 48, kCGEventFlagMaskCommand},                                   // Tab
    {"alt_tab", 48, kCGEventFlagMaskAlternate},                                 // Tab
    {"cmd_space", 49, kCGEventFlagMaskCommand},                                 // Space
    {"win_key", 49, kCGEventFlagMaskCommand},                                   // Space
    {"copy", 8, kCGEventFlagMaskCommand},                                       // C
    {"paste", 9, kCGEventFlagMaskCommand},                                      // V
    {"lock_screen", 12, kCGEventFlagMaskControl | kCGEventFlagMaskCommand},     // Q
    {"show_desktop", 103, kNone},                                               // F11
    {"ctrl_alt_del", 53, kCGEventFlagMaskAlternate | kCGEventFlagMaskCommand},  // Escape
};

}  // namespace

std::span<const ShortcutChord> shortcutChords() { return kChords; }
