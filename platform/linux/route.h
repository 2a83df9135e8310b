// The internal interface behind the CoreGraphics-named calls on Linux. A route is one way of
// reaching the desktop (the wlroots virtual devices, the X server's XTest), one folder of the
// platform layer; the calls in platform/linux/events.cc turn each posted event into calls on the
// one route chosen at start (select_route.h).
//
// What every route promises:
// - a call sends its events in order; deliver() makes every event sent so far reach the desktop
//   before it returns, so that each line's events are delivered before the next line is read;
// - failures are silent and leave the route usable (or silently idle once its server is gone);
// - the destructor releases every key and button the route holds, takes back what it changed on
//   the server and waits until the server has processed everything it sent.
// Single-threaded.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/events.h"

class Route {
 public:
  virtual ~Route() = default;

  // Moves the pointer to a point in global desktop coordinates; both coordinates are finite.
  virtual void movePointer(CGPoint point) = 0;
  // Presses or releases a button (kCGMouseButtonLeft, Right or Center) where the pointer is.
  virtual void pressButton(CGMouseButton button, bool press) = 0;
  // Scrolls by wheel values in pixels as CoreGraphics gives them: a positive wheel1 scrolls up,
  // a positive wheel2 left.
  virtual void scroll(std::int32_t wheel1, std::int32_t wheel2) = 0;
  // Presses or releases the physical key of a macOS virtual key code, with the modifier flags.
  virtual void pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags) = 0;
  // Types text, one Unicode scalar value after another (no surrogates).
  virtual void typeText(std::u32string_view text) = 0;
  // Makes everything sent so far reach the desktop.
  virtual void deliver() = 0;
};
