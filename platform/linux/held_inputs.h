// The keys and mouse buttons that the agent itself holds down on a Linux desktop, recorded from
// the events it posts, so that they can be let go when the agent ends and so that modifier flags
// can tell whether the controller already holds a modifier key. Keys are the agent's virtual
// keys and buttons its CoreGraphics buttons, so every Linux route can keep one of these whatever
// it presses them with.
//
// Only the controller's own presses belong here (a "down" that no "up" has followed yet):
// modifier keys that a route presses for a chord's flags and releases within the same line do
// not. Single-threaded.
#pragma once

#include <vector>

#include "platform/events.h"

class HeldInputs {
 public:
  void key(CGKeyCode key, bool down);
  void button(CGMouseButton button, bool down);

  bool holdsKey(CGKeyCode key) const;

  // What the agent holds, in the order of the presses; at the end, release the last first.
  const std::vector<CGKeyCode>& keys() const { return keys_; }
  const std::vector<CGMouseButton>& buttons() const { return buttons_; }

 private:
  std::vector<CGKeyCode> keys_;  // in the order of their presses
  std::vector<CGMouseButton> buttons_;
};
