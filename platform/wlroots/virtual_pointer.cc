// wlroots: the virtual pointer (see virtual_pointer.h).
#include "platform/wlroots/virtual_pointer.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstdlib>

#include "platform/linux/event_parts.h"
#include "platform/wlroots/event_time.h"

namespace {

constexpr std::int64_t kPixelsPerNotch = 100;
constexpr std::int64_t kMaxNotchesPerEvent = 100;

}  // namespace

VirtualPointer::VirtualPointer(WaylandConnection& connection)
    : connection(connection),
      pointer(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(connection.pointerManager(),
                                                                     connection.seat())) {}

void VirtualPointer::move(CGPoint point) {
  if (!connection.live()) return;
  const auto pixel = pixelOnOutputs(connection.outputs(), point);
  if (!pixel) return;
  const auto time = std::chrono::steady_clock::now();
  if (lastSent && time - lastMotionTime < kMotionInterval) {
    held_ = pixel;
    return;
  }
  held_.reset();
  lastMotionTime = time;
  sendMotion(*pixel);
}

void VirtualPointer::flushMotion() {
  if (!held_) return;
  const Pixel pixel = *held_;
  held_.reset();
  lastMotionTime = std::chrono::steady_clock::now();
  sendMotion(pixel);
}

void VirtualPointer::sendMotion(Pixel pixel) {
  if (!connection.live()) return;
  const auto position = absolutePosition(
      connection.outputs(), CGPoint{static_cast<double>(pixel.x), static_cast<double>(pixel.y)});
  if (!position) return;
  jumped =
      lastSent && (std::llabs(pixel.x - lastSent->x) > 1 || std::llabs(pixel.y - lastSent->y) > 1);
  if (jumped) jumpFrom = lastSent;
  lastSent = pixel;
  zwlr_virtual_pointer_v1_motion_absolute(pointer.get(), eventTime(), position->x, position->y,
                                          position->xExtent, position->yExtent);
  zwlr_virtual_pointer_v1_frame(pointer.get());
}

void VirtualPointer::button(CGMouseButton button, bool press, HeldInputs& held) {
  const std::uint32_t code = linuxButton(button);
  if (code == 0) return;
  held.button(button, press);
  flushMotion();
  if (!connection.live()) return;
  if (press && jumped && lastSent) {
    // One pixel short along the jump, then back onto the target (see the header).
    const Pixel target = *lastSent;
    const auto sign = [](std::int64_t v) { return static_cast<std::int64_t>((v > 0) - (v < 0)); };
    const std::int64_t dx = sign(target.x - jumpFrom->x);
    const std::int64_t dy = dx != 0 ? 0 : sign(target.y - jumpFrom->y);
    const auto shortPixel = pixelOnOutputs(
        connection.outputs(),
        CGPoint{static_cast<double>(target.x - dx), static_cast<double>(target.y - dy)});
    if (shortPixel && (shortPixel->x != target.x || shortPixel->y != target.y)) {
      sendMotion(*shortPixel);
      sendMotion(target);
    }
    jumped = false;
  }
  std::uint32_t time = eventTime();
  if (anyButtonTime && static_cast<std::int32_t>(time - lastButtonTime) <= 0) {
    time = lastButtonTime + 1;
  }
  lastButtonTime = time;
  anyButtonTime = true;
  zwlr_virtual_pointer_v1_button(
      pointer.get(), time, code,
      press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer.get());
}

void VirtualPointer::releaseHeld(HeldInputs& held) {
  const std::vector<CGMouseButton> buttons = held.buttons();
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) button(*it, false, held);
}

// One axis of a scroll event: the pixels as a continuous value, with whole notches where the
// pixels sent so far make some. wlroots applies axis_source to the axis event sent before it.
void VirtualPointer::axis(std::uint32_t axis, std::int32_t wheel, std::int64_t& remainder) {
  // CoreGraphics wheels are positive up and left; Wayland axes positive down and right.
  std::int64_t pixels = -static_cast<std::int64_t>(wheel);
  pixels = std::clamp(pixels, -kPixelsPerNotch * kMaxNotchesPerEvent,
                      kPixelsPerNotch * kMaxNotchesPerEvent);
  if (pixels == 0) return;
  if ((pixels > 0 && remainder < 0) || (pixels < 0 && remainder > 0)) remainder = 0;
  remainder += pixels;
  const std::int64_t notches = remainder / kPixelsPerNotch;
  remainder -= notches * kPixelsPerNotch;
  const wl_fixed_t value = wl_fixed_from_int(static_cast<int>(pixels));
  if (notches != 0) {
    zwlr_virtual_pointer_v1_axis_discrete(pointer.get(), eventTime(), axis, value,
                                          static_cast<std::int32_t>(notches));
    zwlr_virtual_pointer_v1_axis_source(pointer.get(), WL_POINTER_AXIS_SOURCE_WHEEL);
  } else {
    zwlr_virtual_pointer_v1_axis(pointer.get(), eventTime(), axis, value);
    zwlr_virtual_pointer_v1_axis_source(pointer.get(), WL_POINTER_AXIS_SOURCE_CONTINUOUS);
  }
}

void VirtualPointer::scroll(std::int32_t wheel1, std::int32_t wheel2) {
  flushMotion();
  if (!connection.live() || (wheel1 == 0 && wheel2 == 0)) return;
  axis(WL_POINTER_AXIS_VERTICAL_SCROLL, wheel1, verticalRemainder);
  axis(WL_POINTER_AXIS_HORIZONTAL_SCROLL, wheel2, horizontalRemainder);
  zwlr_virtual_pointer_v1_frame(pointer.get());
}
