// The modifier keys that a chord's flags press, the same on every Linux route: for each flag the
// left key of that modifier (Shift, Control, Option as Alt, Command as Super), in that order,
// unless the modifier is in force already for the chord's key: the controller holds a key of
// that modifier (HeldInputs, from its "down" commands), or the chord's key is one.
#pragma once

#include <array>
#include <cstddef>

#include "platform/events.h"
#include "platform/linux/held_inputs.h"

// Virtual keys to press, in order; release them in reverse.
struct ChordModifiers {
  std::array<CGKeyCode, 4> keys{};
  std::size_t count = 0;

  const CGKeyCode* begin() const { return keys.data(); }
  const CGKeyCode* end() const { return keys.data() + count; }
};

inline ChordModifiers chordModifiers(CGEventFlags flags, CGKeyCode key, const HeldInputs& held) {
  struct Modifier {
    CGEventFlags mask;
    CGKeyCode press;       // the key pressed for the flag
    CGKeyCode holders[2];  // keys that, held, already give the modifier
  };
  static constexpr Modifier kModifiers[] = {
      {kCGEventFlagMaskShift, 56, {56, 60}},
      {kCGEventFlagMaskControl, 59, {59, 62}},
      {kCGEventFlagMaskAlternate, 58, {58, 61}},
      {kCGEventFlagMaskCommand, 55, {55, 54}},
  };
  ChordModifiers result;
  for (const Modifier& modifier : kModifiers) {
    if ((flags & modifier.mask) == 0) continue;
    bool given = false;
    for (const CGKeyCode holder : modifier.holders) {
      if (holder == key || held.holdsKey(holder)) given = true;
    }
    if (!given) result.keys[result.count++] = modifier.press;
  }
  return result;
}
