// wlroots: the virtual pointer (see virtual_pointer.h).
#include "platform/devices/wlroots/virtual_pointer.h"

#include <linux/input-event-codes.h>

#include <cstdlib>

#include "platform/devices/linux/linux_input.h"
#include "platform/devices/wlroots/event_time.h"

VirtualPointer::VirtualPointer(WaylandConnection& connection)
    : connection(connection),
      pointer(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(connection.pointerManager(),
                                                                     connection.seat())) {}

void VirtualPointer::move(CGPoint point) {
  if (!connection.live()) return;
  if (const auto pixel = pixelOnOutputs(connection.outputs(), point)) sendMotion(*pixel);
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

void VirtualPointer::button(CGMouseButton button, bool press) {
  const std::uint32_t code = linuxButton(button);
  if (code == 0 || !connection.live()) return;
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

// One axis of a scroll: the whole notches the policy counted, each as a real wheel's click, an
// axis value of kNotchAxisValue with one discrete step. wlroots applies axis_source to the axis
// event sent before it. Whether anything was sent.
bool VirtualPointer::axis(std::uint32_t axis, const ScrollAxis& scroll) {
  if (scroll.notches == 0) return false;
  const auto value = static_cast<wl_fixed_t>(scroll.notches * kNotchAxisValue);
  zwlr_virtual_pointer_v1_axis_discrete(pointer.get(), eventTime(), axis, value,
                                        static_cast<std::int32_t>(scroll.notches));
  zwlr_virtual_pointer_v1_axis_source(pointer.get(), WL_POINTER_AXIS_SOURCE_WHEEL);
  return true;
}

void VirtualPointer::scroll(const Scroll& scroll) {
  if (!connection.live()) return;
  const bool vertical = axis(WL_POINTER_AXIS_VERTICAL_SCROLL, scroll.vertical);
  const bool horizontal = axis(WL_POINTER_AXIS_HORIZONTAL_SCROLL, scroll.horizontal);
  if (vertical || horizontal) zwlr_virtual_pointer_v1_frame(pointer.get());
}
