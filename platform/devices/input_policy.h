// The input policy of the platforms whose devices press modifiers as keys of their own (every
// Linux route, Windows), written once above them: the agent's events, as CoreGraphics describes
// them, become the intents of one device (device.h).
//
// Pointer:
// - Motion is coalesced: a motion less than kMotionInterval after the last one sent is held
//   back, and a later one replaces it. The held motion is sent before any button, scroll or key,
//   when a motion comes after the interval has passed (that one is sent instead), when the agent
//   is about to wait for input (awaitingInput), and at the end. So the last position always
//   arrives, never later than the next event or the next wait, and a burst of positions does not
//   flood the desktop; a line whose successor is already waiting does not wait for its motion.
// - A press or release sends the held motion, then goes to its point, unless the pointer is there
//   already (no motion that moves nothing). A point that is not finite moves nothing; the press or
//   release happens where the pointer is.
// - Buttons pressed and not released are held, and released at the end.
// - Presses are spaced for a device whose desktop stamps button events with a clock of its own
//   (Device::buttonTimesStampedLater): a press less than kPressSpacing after the previous press
//   waits for the rest, after everything before it has been delivered. Toolkits count a press
//   as a double click's second from the presses' times, and Chromium takes a press with the same
//   time as the last for a new first click; so two clicks at one spot in one burst (a
//   controller forwarding a person's quick double click) get two times and are a double click,
//   as the person's were. The wait is at most 5 ms per press, and only in a burst: 2 ms left
//   mutter stamping both presses of one burst in 40 with one time, 5 ms none.
// Scrolling: pixels become wheel notches of kPixelsPerNotch, what is left of a notch carried to
// the next scroll in the same direction on the same axis (dropped when the direction changes),
// and the device's own units likewise; one scroll moves at most kMaxScrollPixels per axis.
// Keys (a key is a row of the key table):
// - A key is pressed once while held: a key-down for a key the agent holds presses nothing, and
//   its key-up releases it once; a key-up for a key it does not hold releases nothing.
// - Modifier flags press the left key of each modifier (Shift, Control, Alt for Option, Meta for
//   Command) that is not in force yet, just before a non-modifier key goes down, and keep it held
//   until that key goes up, unless another held key still needs it; a key-down whose flags lack a
//   modifier the agent holds for an earlier key releases it first. Modifier keys the controller
//   holds as keys of their own are never touched. A tap is modifiers down, key down, key up,
//   modifiers up; a chord split over two lines has the same shape. A modifier is never pressed
//   and released for flags without a non-modifier key pressed in between; a modifier key named
//   by its code is pressed like any key, and its own flags press nothing.
// - Text releases the modifiers held for flags first, and is typed as the device types text.
// The end: every held key is released, the last pressed first, then every held button, then
// everything is delivered and the device ends.
// Single-threaded.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/devices/device.h"
#include "platform/events.h"

inline constexpr std::int64_t kPixelsPerNotch = 100;
inline constexpr std::int64_t kMaxScrollPixels = 100 * kPixelsPerNotch;

class InputPolicy {
 public:
  static constexpr std::chrono::microseconds kMotionInterval{1000};
  static constexpr std::chrono::microseconds kPressSpacing{5000};

  explicit InputPolicy(std::unique_ptr<Device> device);
  ~InputPolicy();
  InputPolicy(const InputPolicy&) = delete;
  InputPolicy& operator=(const InputPolicy&) = delete;

  // A mouse event: motion (moved, dragged) to the point, or a press or release there.
  void mouse(CGEventType type, CGPoint point, CGMouseButton button, std::int64_t clickState);
  // Wheel values as CoreGraphics has them: wheel 1 positive up, wheel 2 positive left.
  void scroll(std::int32_t wheel1, std::int32_t wheel2);
  // A key event of a virtual key with modifier flags; keys without a row are ignored.
  void key(CGKeyCode virtualKey, bool down, CGEventFlags flags);
  // A key event that carries text (UTF-16): its key-down types it, its key-up does nothing.
  void text(std::span<const UniChar> units, bool down);

  // The end of a line: everything sent reaches the desktop.
  void endOfLine();
  // The agent is about to wait for input: a held motion is sent, and everything delivered.
  void awaitingInput();

 private:
  struct HeldKey {
    const PhysicalKey* key;
    bool forFlags;                          // pressed by the agent for modifier flags
    std::vector<const PhysicalKey*> needs;  // the flag modifiers held for this key
  };
  struct AxisCarry {
    int direction = 0;            // the sign of the pixels carried
    std::int64_t pixels = 0;      // less than a notch
    std::int64_t hundredths = 0;  // hundredths of a device unit
  };

  void move(CGPoint point);
  void sendMotion(CGPoint point);
  void flushMotion();
  ScrollAxis scrollAxis(AxisCarry& carry, std::int64_t pixels) const;
  HeldKey* findHeld(const PhysicalKey& key);
  bool neededByOthers(const PhysicalKey& modifier) const;
  void press(const PhysicalKey& key, bool forFlags, std::vector<const PhysicalKey*> needs);
  void release(const PhysicalKey& key);
  void releaseFlagModifiers(CGEventFlags keep);

  std::unique_ptr<Device> device;
  int unitsPerNotch;
  std::optional<CGPoint> heldMotion;
  std::optional<CGPoint> pointer;  // where the agent last put the pointer, sent or held
  std::optional<std::chrono::steady_clock::time_point> lastMotion;  // when the last was sent
  bool spacePresses;
  std::optional<std::chrono::steady_clock::time_point> lastPress;  // when the last was sent
  std::vector<CGMouseButton> buttons;  // held, in the order of their presses
  std::vector<HeldKey> keys;           // held, in the order of their presses
  AxisCarry vertical;
  AxisCarry horizontal;
};
