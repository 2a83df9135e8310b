// What a Linux route reads from an event (see event_parts.h).
#include "platform/linux/event_parts.h"

#include <linux/input-event-codes.h>

std::optional<bool> buttonPressOf(CGEventType type) {
  switch (type) {
    case kCGEventLeftMouseDown:
    case kCGEventRightMouseDown:
    case kCGEventOtherMouseDown:
      return true;
    case kCGEventLeftMouseUp:
    case kCGEventRightMouseUp:
    case kCGEventOtherMouseUp:
      return false;
    default:
      return std::nullopt;
  }
}

std::u32string scalarsOf(const std::vector<UniChar>& units) {
  std::u32string scalars;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      scalars.push_back(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (unit < 0xD800 || unit > 0xDFFF) {
      scalars.push_back(unit);
    }
  }
  return scalars;
}

std::uint32_t linuxButton(CGMouseButton button) {
  switch (button) {
    case kCGMouseButtonLeft:
      return BTN_LEFT;
    case kCGMouseButtonRight:
      return BTN_RIGHT;
    case kCGMouseButtonCenter:
      return BTN_MIDDLE;
  }
  return 0;
}
