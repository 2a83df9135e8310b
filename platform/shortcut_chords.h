// The chords that the named shortcuts stand for on the platform the agent is built for: one
// column of the shortcut table (platform/shortcut_table.h) per platform, chosen at link time
// like the event implementation. macOS, and the trace and null builds that stand in for it, use
// the macOS column (platform/mac/shortcuts.cc); the device platforms (every Linux route) the
// devices column (platform/devices/shortcuts.cc).
//
// A chord is one virtual key (the agent's macOS numbering) with fixed modifier flags; the
// injector posts its key-down and key-up with those flags. Names are compared exactly, in table
// order.
#pragma once

#include <span>
#include <string_view>

#include "platform/events.h"

struct ShortcutChord {
  std::string_view name;
  CGKeyCode key;
  CGEventFlags flags;
};

std::span<const ShortcutChord> shortcutChords();
