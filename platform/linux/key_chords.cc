// Keys with modifier flags as chords of Linux key presses (see key_chords.h).
#include "platform/linux/key_chords.h"

#include "keys/key_table.h"
#include "platform/linux/chord_modifiers.h"

std::uint32_t linuxCodeOf(CGKeyCode virtualKey) {
  const PhysicalKey* key = findPhysicalKey(virtualKey);
  return key != nullptr ? key->linuxCode : 0;
}

void KeyChords::openChord(CGKeyCode key, CGEventFlags flags, const HeldInputs& held) {
  chord = Chord{key, flags, {}};
  for (const CGKeyCode modifier : chordModifiers(flags, key, held)) {
    const std::uint32_t code = linuxCodeOf(modifier);
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
