// The chords of the named shortcuts on the platforms with devices (every Linux route): the
// devices column of platform/shortcut_table.h, what a Linux desktop user presses for each action.
#include "platform/shortcut_table.h"

namespace {
constexpr auto kChords = shortcutColumn<&ShortcutColumns::devices>();
}

std::span<const ShortcutChord> shortcutChords() { return kChords; }
