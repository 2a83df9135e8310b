// What the Linux routes share (see linux_input.h).
#include "platform/devices/linux/linux_input.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <initializer_list>

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

std::uint32_t keysymForScalar(char32_t scalar) {
  if (scalar == U'\n' || scalar == U'\r') return XKB_KEY_Return;
  if (scalar == U'\t') return XKB_KEY_Tab;
  if (scalar < 0x20 || (scalar >= 0x7F && scalar < 0xA0)) return XKB_KEY_NoSymbol;
  if (scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) return XKB_KEY_NoSymbol;
  return xkb_utf32_to_keysym(scalar);
}

bool inWaylandSession() {
  for (const char* name : {"WAYLAND_DISPLAY", "WAYLAND_SOCKET"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}
