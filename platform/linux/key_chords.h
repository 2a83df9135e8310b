// Keys with modifier flags for the Linux routes that press modifiers as keys (KDE, GNOME): a key
// command becomes Linux input codes pressed and released in the order a chord needs, and the
// route's send function puts each on its way.
//
// A key-down with flags opens a chord, pressing each flag's left modifier key first unless the
// controller holds a key of that modifier (HeldInputs) or the key is one; the key-up of the same
// key with the same flags closes it, releasing the key and then the modifiers. Anything else
// closes an open chord first, and so does the end of each line (closeChord). A key-up that closes
// no chord gets its modifiers pressed and released around it. So a chord arrives with exactly its
// modifiers, each pressed once, and no modifier stays held after its line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/events.h"
#include "platform/linux/held_inputs.h"

class KeyChords {
 public:
  // Sends one press (true) or release of a Linux input code.
  using Send = std::function<void(std::uint32_t linuxCode, bool press)>;

  explicit KeyChords(Send send) : send(std::move(send)) {}

  // A key command's event: its virtual key, press or release, and flags. Keys without a Linux
  // code are ignored.
  void pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags, HeldInputs& held);
  // Releases the modifiers of a chord that is still open.
  void closeChord();
  // Releases every key the controller holds, the last pressed first.
  void releaseHeld(HeldInputs& held);

 private:
  struct Chord {
    CGKeyCode key;
    CGEventFlags flags;
    std::vector<std::uint32_t> pressed;  // Linux codes of the modifier keys pressed for it
  };

  void openChord(CGKeyCode key, CGEventFlags flags, const HeldInputs& held);

  Send send;
  std::optional<Chord> chord;
};

// The Linux input code of a virtual key, 0 for none.
std::uint32_t linuxCodeOf(CGKeyCode virtualKey);
