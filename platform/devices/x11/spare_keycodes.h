// X11: which spare keycodes this agent may bind for text, agreed with every other agent on the
// same display. A spare is a keycode of the x11 column of platform/devices/linux/text_keycodes.h
// (keycodes that no toolkit reading the key's physical identity takes for a key of its own)
// that the keymap leaves without keysyms; Xvfb's keymap has 14.
//
// Every claimed keycode is marked in a property of the root window, _INPUT_AGENT_SPARE_KEYCODES:
// triples of CARD32 (keycode, owner, nonce), where the owner is an unmapped window of the
// claiming agent's connection that holds the agent's random nonce in the same property. The
// server destroys a client's windows when its connection goes, and may give the same window id
// to a later client, so a mark whose owner window is gone or lacks the nonce was left by an agent
// that ended without cleaning up (killed, say): the next claim clears that keycode's binding and
// takes the keycode back.
//
// Promises:
// - Claims and releases read and write the property under a server grab, so two agents never
//   hold the same keycode, and a keycode held by a live agent is never taken.
// - A keycode is claimed only when it is a text keycode, has no keysym (or its owner is gone)
//   and does not stand for a physical key the agent presses (`reserved`).
// - releaseAll() removes this agent's marks and puts NoSymbol back on each of its keycodes that
//   still holds what the agent bound there.
// - No Xlib call once the connection is lost; nothing is printed.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <vector>

class SpareKeycodes {
 public:
  SpareKeycodes(Display* display, std::vector<KeyCode> reserved);
  ~SpareKeycodes();
  SpareKeycodes(const SpareKeycodes&) = delete;
  SpareKeycodes& operator=(const SpareKeycodes&) = delete;

  // One more keycode for this agent, or none when every spare is taken.
  std::optional<KeyCode> claim();
  // How many text keycodes are spare now (without a keysym, standing for no physical key),
  // whoever may claim them; nothing is claimed.
  std::size_t freeCount();
  // Gives back every claimed keycode. `boundByUs` says what the agent last bound to a keycode
  // (NoSymbol for nothing); a keycode that holds something else now is left as it is.
  void releaseAll(const std::function<KeySym(KeyCode)>& boundByUs);

 private:
  struct Mark {
    unsigned long keycode;
    unsigned long owner;
    unsigned long nonce;
  };
  Display* live() const;
  std::vector<Mark> readMarks();
  // The text keycodes without a keysym that stand for no physical key the agent presses.
  std::vector<KeyCode> unboundKeycodes();
  void writeMarks(const std::vector<Mark>& marks);
  bool ownerExists(const Mark& mark);

  Display* display;
  std::vector<KeyCode> reserved;
  Atom property = 0;
  Window owner = 0;  // made at the first claim
  unsigned long nonce = 0;
  std::vector<KeyCode> claimed;
};
