// X11: keyboard events through XTest.
//
// A virtual key names a physical key (keys/key_table.h). Its X keycode is found once, when the
// source opens, by the key's XKB name in the server's keymap (aliases included), so the same
// physical key is pressed whatever the layout; only a key whose name the server lacks, or a server
// without XKB, falls back to the evdev numbering (Linux code plus 8).
//
// Flags become modifier keys: Shift_L, Control_L, Alt_L for Option and Super_L for Command (Mod4
// on the usual keymaps), each only when the agent does not already hold a key of that modifier
// (HeldInputs, from the controller's "down" commands). A key-down with flags opens a chord: its
// modifiers are pressed once, before the key; the key-up of the same key with the same flags
// closes it, releasing the key and then the modifiers in reverse order. So a tap arrives as
// modifiers down, key down, key up, modifiers up. Anything else closes an open chord first, and
// so does the end of each line: a lone "down" with flags leaves no modifier held. A key-up that
// closes no chord gets its modifiers pressed and released around it.
//
// A key-down with a Unicode string types the string (text_typing.h) and presses no virtual key;
// a key-up with a string does nothing, as its key-down typed it all.
//
// When the source goes (the agent ends), keys the agent still holds are released, the spare
// keycodes that typing bound are put back, and the agent waits for the server to have
// processed all it sent.
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "keys/key_table.h"
#include "platform/linux/chord_modifiers.h"
#include "platform/linux/event_parts.h"
#include "platform/x11/text_typing.h"
#include "platform/x11/x11_objects.h"

namespace {

constexpr int kEvdevOffset = 8;

constexpr std::size_t rowOf(const PhysicalKey* key) {
  return static_cast<std::size_t>(key - kPhysicalKeys.data());
}

struct KeyboardFree {
  void operator()(XkbDescPtr desc) const { XkbFreeKeyboard(desc, 0, True); }
};

std::string_view nameView(const char (&name)[XkbKeyNameLength]) {
  return std::string_view(name, strnlen(name, XkbKeyNameLength));
}

// The server's keycode for each row of the key table; 0 where it has none.
std::array<KeyCode, kPhysicalKeys.size()> resolveKeycodes(Display* display) {
  int min = 0, max = 0;
  XDisplayKeycodes(display, &min, &max);
  std::array<KeyCode, kPhysicalKeys.size()> keycodes{};
  for (std::size_t row = 0; row < kPhysicalKeys.size(); ++row) {
    const int evdev = kPhysicalKeys[row].linuxCode + kEvdevOffset;
    if (evdev >= min && evdev <= max) keycodes[row] = static_cast<KeyCode>(evdev);
  }

  int opcode, eventBase, errorBase, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (x11ConnectionLost() ||
      !XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
    return keycodes;
  }
  std::unique_ptr<XkbDescRec, KeyboardFree> desc(XkbGetMap(display, 0, XkbUseCoreKbd));
  if (!desc || x11ConnectionLost()) return keycodes;
  if (XkbGetNames(display, XkbKeyNamesMask | XkbKeyAliasesMask, desc.get()) != Success ||
      desc->names == nullptr || desc->names->keys == nullptr) {
    return keycodes;
  }
  const XkbNamesRec& names = *desc->names;
  const auto find = [&](std::string_view name) -> std::optional<KeyCode> {
    for (int k = desc->min_key_code; k <= desc->max_key_code; ++k) {
      if (nameView(names.keys[k].name) == name) return static_cast<KeyCode>(k);
    }
    return std::nullopt;
  };
  for (std::size_t row = 0; row < kPhysicalKeys.size(); ++row) {
    std::optional<KeyCode> keycode = find(kPhysicalKeys[row].xkbName);
    for (int a = 0; !keycode && names.key_aliases != nullptr && a < names.num_key_aliases; ++a) {
      if (nameView(names.key_aliases[a].alias) == kPhysicalKeys[row].xkbName) {
        keycode = find(nameView(names.key_aliases[a].real));
      }
    }
    if (keycode) keycodes[row] = *keycode;
  }
  return keycodes;
}

std::vector<KeyCode> nonZero(const std::array<KeyCode, kPhysicalKeys.size()>& keycodes) {
  std::vector<KeyCode> result;
  for (const KeyCode keycode : keycodes) {
    if (keycode != 0) result.push_back(keycode);
  }
  return result;
}

}  // namespace

class KeyboardMapper {
 public:
  explicit KeyboardMapper(Display* display)
      : display(display), keycodes(resolveKeycodes(display)), text(display, nonZero(keycodes)) {}
  // Puts the keymap back and waits until the server has processed every request, so that
  // whoever waits for the agent to end knows that all its events have taken effect.
  ~KeyboardMapper() {
    text.restore();
    if (!x11ConnectionLost()) XSync(display, False);
  }
  KeyboardMapper(const KeyboardMapper&) = delete;
  KeyboardMapper& operator=(const KeyboardMapper&) = delete;

  void post(const CGEventOpaque& event, HeldInputs& held) {
    if (!event.text.empty()) {
      closeChord();
      if (event.keyDown) text.type(scalarsOf(event.text));
      return;
    }
    const PhysicalKey* key = findPhysicalKey(event.virtualKey);
    if (key == nullptr) return;
    const KeyCode keycode = keycodes[rowOf(key)];
    if (keycode == 0) return;

    if (event.keyDown) {
      closeChord();
      chord = Chord{key->virtualKey, event.flags};
      pressModifiers(*chord, held);
      fakeKey(keycode, true);
      held.key(key->virtualKey, true);
      return;
    }
    const bool closesChord = chord && chord->key == key->virtualKey && chord->flags == event.flags;
    if (!closesChord) {
      closeChord();
      chord = Chord{key->virtualKey, event.flags};
      pressModifiers(*chord, held);
    }
    fakeKey(keycode, false);
    held.key(key->virtualKey, false);
    closeChord();
  }

  // Releases the modifiers of an open chord; called at the end of every line.
  void closeChord() {
    if (!chord) return;
    while (chord->pressedCount > 0) fakeKey(chord->pressed[--chord->pressedCount], false);
    chord.reset();
  }

  // Releases every key the agent still holds, the last pressed first.
  void releaseHeld(HeldInputs& held) {
    closeChord();
    const std::vector<CGKeyCode> keys = held.keys();
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
      fakeKey(keycodeOf(*it), false);
      held.key(*it, false);
    }
  }

 private:
  // A key pressed with flags, and the modifier keys pressed for them.
  struct Chord {
    CGKeyCode key;
    CGEventFlags flags;
    KeyCode pressed[std::tuple_size_v<decltype(ChordModifiers::keys)>] = {};
    std::size_t pressedCount = 0;
  };

  void pressModifiers(Chord& open, const HeldInputs& held) {
    for (const CGKeyCode modifier : chordModifiers(open.flags, open.key, held)) {
      const KeyCode modifierKey = keycodeOf(modifier);
      if (modifierKey == 0) continue;
      fakeKey(modifierKey, true);
      open.pressed[open.pressedCount++] = modifierKey;
    }
  }

  KeyCode keycodeOf(CGKeyCode virtualKey) const {
    const PhysicalKey* key = findPhysicalKey(virtualKey);
    return key != nullptr ? keycodes[rowOf(key)] : 0;
  }

  void fakeKey(KeyCode keycode, bool press) {
    if (keycode == 0 || x11ConnectionLost()) return;
    XTestFakeKeyEvent(display, keycode, press ? True : False, CurrentTime);
  }

  Display* display;
  std::array<KeyCode, kPhysicalKeys.size()> keycodes;
  std::optional<Chord> chord;
  TextTyper text;
};

void KeyboardMapperDelete::operator()(KeyboardMapper* mapper) const { delete mapper; }

std::unique_ptr<KeyboardMapper, KeyboardMapperDelete> makeKeyboardMapper(Display* display) {
  return std::unique_ptr<KeyboardMapper, KeyboardMapperDelete>(new KeyboardMapper(display));
}

void postKeyboardEvent(X11Source& source, const CGEventOpaque& event) {
  if (source.keyboard && source.live() != nullptr) source.keyboard->post(event, source.held);
}

void endKeyboardLine(X11Source& source) {
  if (source.keyboard && source.live() != nullptr) source.keyboard->closeChord();
}

void releaseHeldKeys(X11Source& source) {
  if (source.keyboard && source.live() != nullptr) source.keyboard->releaseHeld(source.held);
}
