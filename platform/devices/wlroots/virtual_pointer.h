// wlroots: the agent's virtual pointer. Absolute motion over the output layout
// (output_layout.h), the left, right and middle buttons, and scrolling; each event is followed
// by a frame.
//
// Event times are the monotonic clock in milliseconds, as the compositor's own; a button event
// gets a time later than the previous button event's, so that receivers that count clicks by
// time (and take a press at the same time as the last for a new first click) see a double click.
//
// X applications under Xwayland: a press right after the pointer jumped (moved more than a
// pixel) is preceded by a motion one pixel short of the target (back along the jump) and one
// onto it again, without which Xwayland loses a click that follows a jump onto an X window.
//
// Scrolling as a real wheel scrolls: each whole notch the policy counts (100 pixels, the rest
// carried to the next scroll) is an axis value of kNotchAxisValue (wayland/wheel_notch.h) with
// one discrete step, source "wheel", what libinput gives the compositor for one click. Less than a
// notch is not sent: a continuous share of it scrolled more than its share in Chromium on
// sway 1.10, where a discrete step counts whole whatever value comes with it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/devices/device.h"
#include "platform/devices/wayland/wheel_notch.h"
#include "platform/devices/wlroots/wayland_connection.h"

class VirtualPointer {
 public:
  explicit VirtualPointer(WaylandConnection& connection);
  ~VirtualPointer() = default;
  VirtualPointer(const VirtualPointer&) = delete;
  VirtualPointer& operator=(const VirtualPointer&) = delete;

  void move(CGPoint point);
  void button(CGMouseButton button, bool press);
  void scroll(const Scroll& scroll);

 private:
  bool axis(std::uint32_t axis, const ScrollAxis& scroll);
  void sendMotion(Pixel pixel);

  WaylandConnection& connection;
  Proxy<zwlr_virtual_pointer_v1> pointer;
  std::uint32_t lastButtonTime = 0;
  bool anyButtonTime = false;
  std::optional<Pixel> lastSent;  // where the last motion sent put the pointer
  std::optional<Pixel> jumpFrom;  // where the last jump started
  bool jumped = false;            // whether that motion moved it more than a pixel
};
