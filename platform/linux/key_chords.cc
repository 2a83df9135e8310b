// Keys with modifier flags as chords of Linux key presses (see key_chords.h).
#include "platform/linux/key_chords.h"

#include <algorithm>
#include <iterator>

#include "keys/key_table.h"

namespace {

// Virtual keys: the left key pressed for each flag, and the keys that, held, give it already.
struct Modifier {
  CGEventFlags mask;
  CGKeyCode press;
  CGKeyCode holders[2];
};

constexpr Modifier kModifiers[] = {
    {kCGEventFlagMaskShift, 56, {56, 60}},
    {kCGEventFlagMaskControl, 59, {59, 62}},
    {kCGEventFlagMaskAlternate, 58, {58, 61}},
    {kCGEventFlagMaskCommand, 55, {55, 54}},
};

}  // namespace

std::uint32_t linuxCodeOf(CGKeyCode virtualKey) {
  const PhysicalKey* key = findPhysicalKey(virtualKey);
  return key != nullptr ? key->linuxCode : 0;
}

void KeyChords::openChord(CGKeyCode key, CGEventFlags flags, const HeldInputs& held) {
  chord = Chord{key, flags, {}};
  for (const Modifier& modifier : kModifiers) {
    if ((flags & modifier.mask) == 0) continue;
    const bool given =
        std::any_of(std::begin(modifier.holders), std::end(modifier.holders),
                    [&](CGKeyCode holder) { return holder == key || held.holdsKey(holder); });
    if (given) continue;
    const std::uint32_t code = linuxCodeOf(modifier.press);
    send(code, true);
    chord->pressed.push_back(code);
  }
}

void KeyChords::closeChord() {
  if (!chord) return;
  for (auto it = chord->pressed.rbegin(); it != chord->pressed.rend(); ++it) send(*it, false);
  chord.reset();
}

void KeyChords::pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags, HeldInputs& held) {
  const std::uint32_t code = linuxCodeOf(virtualKey);
  if (code == 0) return;
  if (down) {
    closeChord();
    openChord(virtualKey, flags, held);
    send(code, true);
    held.key(virtualKey, true);
    return;
  }
  const bool closesChord = chord && chord->key == virtualKey && chord->flags == flags;
  if (!closesChord) {
    closeChord();
    openChord(virtualKey, flags, held);
  }
  send(code, false);
  held.key(virtualKey, false);
  closeChord();
}

void KeyChords::releaseHeld(HeldInputs& held) {
  closeChord();
  const std::vector<CGKeyCode> keys = held.keys();
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    send(linuxCodeOf(*it), false);
    held.key(*it, false);
  }
}
