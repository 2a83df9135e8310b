// wlroots: the agent's virtual pointer. Absolute motion over the output layout
// (output_layout.h), the left, right and middle buttons, and scrolling; each event is followed
// by a frame. releaseHeld, at the end, lets go of the buttons the controller holds.
//
// Event times are the monotonic clock in milliseconds, as the compositor's own; a button event
// gets a time later than the previous button event's, so that receivers that count clicks by
// time (and take a press at the same time as the last for a new first click) see a double click.
//
// Coalescing: motion that comes faster than any display could show it is not all sent. A motion
// less than kMotionInterval after the last one sent is held back, and a later motion replaces
// it; the held motion is sent before any other event of the agent (button, scroll, key), when a
// motion comes after the interval has passed, and at the end of its line unless more input is
// already waiting on standard input, which the route checks (flushMotion); when that input
// turns out not to complete a line, it is sent before the agent waits for the rest. So the last
// position is never left behind, buttons land where the pointer was last put, and a receiver
// that stops reading is not flooded by a controller that streams positions.
//
// X applications under Xwayland: a press right after the pointer jumped (moved more than a
// pixel) is preceded by a motion one pixel short of the target (back along the jump) and one
// onto it again, without which Xwayland loses a click that follows a jump onto an X window.
//
// Scrolling: a wheel value in pixels is sent as a continuous axis event of that many pixels
// (positive down and right); whenever the pixels sent on an axis add up to whole notches of
// kPixelsPerNotch (remainders carried as on X11, dropped when the direction changes) the event
// carries those notches as its discrete form with the wheel as its source, for applications
// that scroll by notches. One event scrolls at most kMaxNotchesPerEvent notches' worth.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/events.h"
#include "platform/linux/held_inputs.h"
#include "platform/wlroots/wayland_connection.h"

class VirtualPointer {
 public:
  explicit VirtualPointer(WaylandConnection& connection);
  ~VirtualPointer() = default;
  VirtualPointer(const VirtualPointer&) = delete;
  VirtualPointer& operator=(const VirtualPointer&) = delete;

  void move(CGPoint point);
  // Sends a held motion, if there is one.
  void flushMotion();
  bool holdsMotion() const { return held_.has_value(); }
  void button(CGMouseButton button, bool press, HeldInputs& held);
  void scroll(std::int32_t wheel1, std::int32_t wheel2);
  // Releases every button the controller holds, the last pressed first.
  void releaseHeld(HeldInputs& held);

 private:
  void axis(std::uint32_t axis, std::int32_t wheel, std::int64_t& remainder);
  void sendMotion(Pixel pixel);

  static constexpr std::chrono::microseconds kMotionInterval{1000};

  WaylandConnection& connection;
  Proxy<zwlr_virtual_pointer_v1> pointer;
  std::uint32_t lastButtonTime = 0;
  bool anyButtonTime = false;
  std::int64_t verticalRemainder = 0;
  std::int64_t horizontalRemainder = 0;
  std::optional<Pixel> held_;     // a motion held back
  std::optional<Pixel> lastSent;  // where the last motion sent put the pointer
  std::optional<Pixel> jumpFrom;  // where the last jump started
  bool jumped = false;            // whether that motion moved it more than a pixel
  std::chrono::steady_clock::time_point lastMotionTime;
};
