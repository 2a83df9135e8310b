// X11: the server's keycodes of the key table's keys (see keycodes.h).
#include "platform/devices/x11/keycodes.h"

#include <X11/XKBlib.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/devices/x11/x11_connection.h"

namespace {

struct KeyboardFree {
  void operator()(XkbDescPtr desc) const { XkbFreeKeyboard(desc, 0, True); }
};

std::string_view nameView(const char (&name)[XkbKeyNameLength]) {
  return std::string_view(name, strnlen(name, XkbKeyNameLength));
}

}  // namespace

KeycodeTable resolveKeycodes(Display* display) {
  int min = 0, max = 0;
  XDisplayKeycodes(display, &min, &max);
  KeycodeTable keycodes{};
  for (std::size_t row = 0; row < kPhysicalKeys.size(); ++row) {
    const int evdev = static_cast<int>(kPhysicalKeys[row].linuxCode + kXkbKeycodeOffset);
    if (evdev >= min && evdev <= max) keycodes[row] = static_cast<KeyCode>(evdev);
  }

  int opcode, eventBase, errorBase, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (x11ConnectionLost() ||
      !XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) {
    return keycodes;
  }
  std::unique_ptr<XkbDescRec, KeyboardFree> desc(XkbGetMap(display, 0, XkbUseCoreKbd));
  if (!desc || x11ConnectionLost()) return keycodes;
  if (XkbGetNames(display, XkbKeyNamesMask | XkbKeyAliasesMask, desc.get()) != Success ||
      desc->names == nullptr || desc->names->keys == nullptr) {
    return keycodes;
  }
  const XkbNamesRec& names = *desc->names;
  const auto find = [&](std::string_view name) -> std::optional<KeyCode> {
    for (int k = desc->min_key_code; k <= desc->max_key_code; ++k) {
      if (nameView(names.keys[k].name) == name) return static_cast<KeyCode>(k);
    }
    return std::nullopt;
  };
  for (std::size_t row = 0; row < kPhysicalKeys.size(); ++row) {
    std::optional<KeyCode> keycode = find(kPhysicalKeys[row].xkbName);
    for (int a = 0; !keycode && names.key_aliases != nullptr && a < names.num_key_aliases; ++a) {
      if (nameView(names.key_aliases[a].alias) == kPhysicalKeys[row].xkbName) {
        keycode = find(nameView(names.key_aliases[a].real));
      }
    }
    if (keycode) keycodes[row] = *keycode;
  }
  return keycodes;
}

std::vector<KeyCode> keycodesInUse(const KeycodeTable& keycodes) {
  std::vector<KeyCode> result;
  for (const KeyCode keycode : keycodes) {
    if (keycode != 0) result.push_back(keycode);
  }
  return result;
}
