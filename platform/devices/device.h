// The device interface of the platforms whose input the agent makes by driving a device that
// presses modifier keys as keys of their own (every Linux route; Windows). Above it, the input
// policy (input_policy.h) decides once for all of them what is held, how a chord is pressed,
// when motion is coalesced, how pixels become wheel notches and what is released at the end;
// a device only writes those intents to its desktop: "move the pointer here", "press this
// physical key", "type these characters".
//
// What every device promises:
// - each call sends its input in order; deliver() makes everything sent so far reach the desktop
//   before it returns (called after every line, and before the agent waits for input);
// - failures are silent and leave the device usable, or silently idle once its server is gone;
// - its destructor takes back what it changed on the desktop (a keymap, virtual devices) and
//   waits until the desktop has processed everything it was sent. The policy has released every
//   key and button before.
// Single-threaded.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "keys/key_table.h"
#include "platform/events.h"

// One axis of a scroll, positive down (vertical) or right (horizontal).
struct ScrollAxis {
  std::int64_t pixels = 0;   // the scroll's pixels, at most kMaxScrollPixels either way
  std::int64_t notches = 0;  // whole wheel notches the pixels scrolled so far complete
  std::int64_t units = 0;    // the pixels in the device's own units (see scrollUnitsPerNotch)
};

struct Scroll {
  ScrollAxis vertical;
  ScrollAxis horizontal;
};

class Device {
 public:
  virtual ~Device() = default;

  // The device's scroll unit: how many make one wheel notch of 100 pixels (0: the device reads
  // pixels and notches only). Asked once, when the device is taken.
  virtual int scrollUnitsPerNotch() const { return 0; }
  // What the device can do here, in a few words for a person ("absolute motion over 2 outputs:
  // ..."; "text: any character"), as --probe shows it.
  virtual std::string capabilities() const { return {}; }
  // Whether a window can get the device's button events stamped by a clock that is not the
  // agent's: one that stamps each event in milliseconds when it handles it (Xwayland for every X
  // window under a Wayland compositor; KWin and mutter for their own events), so that two presses
  // sent within a millisecond can get one time. The policy then spaces presses
  // (InputPolicy::kPressSpacing).
  virtual bool buttonTimesStampedLater() const { return false; }
  // The clock that times motion coalescing and press spacing. A recording device may stand it
  // still.
  virtual std::chrono::steady_clock::time_point now() const {
    return std::chrono::steady_clock::now();
  }

  // The pointer to a finite point in global desktop coordinates.
  virtual void moveTo(CGPoint point) = 0;
  // A press or release where the pointer is; clickState 2 marks the second press and release
  // of a double click.
  virtual void button(CGMouseButton button, bool press, std::int64_t clickState) = 0;
  // Never both axes without pixels.
  virtual void scroll(const Scroll& scroll) = 0;
  virtual void key(const PhysicalKey& key, bool press) = 0;
  // Unicode scalars to type as text, whatever keys the device needs for them.
  virtual void text(std::u32string_view scalars) = 0;
  virtual void deliver() = 0;
  // Waits this long before the next event (the policy's press spacing); a recording device notes
  // the wait instead.
  virtual void wait(std::chrono::microseconds time) { std::this_thread::sleep_for(time); }
};
