// The macOS chords of the named shortcuts: the macOS column of platform/shortcut_table.h. Linked
// into the macOS agent and into the trace and null builds, which stand in for it.
#include "platform/shortcut_table.h"

namespace {
constexpr auto kChords = shortcutColumn<&ShortcutColumns::mac>();
}

std::span<const ShortcutChord> shortcutChords() { return kChords; }
