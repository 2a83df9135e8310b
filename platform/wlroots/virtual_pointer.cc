// wlroots: the virtual pointer (see virtual_pointer.h).
#include "platform/wlroots/virtual_pointer.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <ctime>

namespace {

constexpr std::int64_t kPixelsPerNotch = 100;
constexpr std::int64_t kMaxNotchesPerEvent = 100;

std::uint32_t linuxButton(CGMouseButton button) {
  switch (button) {
    case kCGMouseButtonLeft:
      return BTN_LEFT;
    case kCGMouseButtonRight:
      return BTN_RIGHT;
    case kCGMouseButtonCenter:
      return BTN_MIDDLE;
    default:
      return 0;
  }
}

}  // namespace

VirtualPointer::VirtualPointer(WaylandConnection& connection)
    : connection(connection),
      pointer(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(connection.pointerManager(),
                                                                     connection.seat())) {}

std::uint32_t VirtualPointer::now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000);
}

void VirtualPointer::move(CGPoint point) {
  if (!connection.live()) return;
  const auto position = absolutePosition(connection.outputs(), point);
  if (!position) return;
  zwlr_virtual_pointer_v1_motion_absolute(pointer.get(), now(), position->x, position->y,
                                          position->xExtent, position->yExtent);
  zwlr_virtual_pointer_v1_frame(pointer.get());
}

void VirtualPointer::button(CGMouseButton button, bool press, HeldInputs& held) {
  const std::uint32_t code = linuxButton(button);
  if (code == 0) return;
  held.button(button, press);
  if (!connection.live()) return;
  std::uint32_t time = now();
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
    zwlr_virtual_pointer_v1_axis_discrete(pointer.get(), now(), axis, value,
                                          static_cast<std::int32_t>(notches));
    zwlr_virtual_pointer_v1_axis_source(pointer.get(), WL_POINTER_AXIS_SOURCE_WHEEL);
  } else {
    zwlr_virtual_pointer_v1_axis(pointer.get(), now(), axis, value);
    zwlr_virtual_pointer_v1_axis_source(pointer.get(), WL_POINTER_AXIS_SOURCE_CONTINUOUS);
  }
}

void VirtualPointer::scroll(std::int32_t wheel1, std::int32_t wheel2) {
  if (!connection.live() || (wheel1 == 0 && wheel2 == 0)) return;
  axis(WL_POINTER_AXIS_VERTICAL_SCROLL, wheel1, verticalRemainder);
  axis(WL_POINTER_AXIS_HORIZONTAL_SCROLL, wheel2, horizontalRemainder);
  zwlr_virtual_pointer_v1_frame(pointer.get());
}
