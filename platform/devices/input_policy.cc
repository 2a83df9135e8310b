// The input policy (see input_policy.h).
#include "platform/devices/input_policy.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A modifier: the mask of its flag, the key its flag presses, and the keys that give it.
struct Modifier {
  CGEventFlags mask;
  const PhysicalKey* press;
  const PhysicalKey* givenBy[2];
};
constexpr Modifier kModifiers[] = {
    {kCGEventFlagMaskShift,
     &keyNamed("ShiftLeft"),
     {&keyNamed("ShiftLeft"), &keyNamed("ShiftRight")}},
    {kCGEventFlagMaskControl,
     &keyNamed("ControlLeft"),
     {&keyNamed("ControlLeft"), &keyNamed("ControlRight")}},
    {kCGEventFlagMaskAlternate,
     &keyNamed("AltLeft"),
     {&keyNamed("AltLeft"), &keyNamed("AltRight")}},
    {kCGEventFlagMaskCommand,
     &keyNamed("MetaLeft"),
     {&keyNamed("MetaLeft"), &keyNamed("MetaRight")}},
};

// The modifier a key gives, or null for a key that is none.
const Modifier* modifierOf(const PhysicalKey& key) {
  for (const Modifier& modifier : kModifiers) {
    if (modifier.givenBy[0] == &key || modifier.givenBy[1] == &key) return &modifier;
  }
  return nullptr;
}

bool finite(CGPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }
bool samePoint(CGPoint a, CGPoint b) { return a.x == b.x && a.y == b.y; }

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

// The Unicode scalars of UTF-16 text; an unpaired surrogate is skipped.
std::u32string scalarsOf(std::span<const UniChar> units) {
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

}  // namespace

InputPolicy::InputPolicy(std::unique_ptr<Device> device)
    : device(std::move(device)),
      unitsPerNotch(this->device->scrollUnitsPerNotch()),
      spacePresses(this->device->buttonTimesStampedLater()) {}

InputPolicy::~InputPolicy() {
  flushMotion();
  while (!keys.empty()) release(*keys.back().key);
  while (!buttons.empty()) {
    const CGMouseButton button = buttons.back();
    buttons.pop_back();
    device->button(button, false, 1);
  }
  device->deliver();
}

// Pointer.

void InputPolicy::mouse(CGEventType type, CGPoint point, CGMouseButton button,
                        std::int64_t clickState) {
  const std::optional<bool> press = buttonPressOf(type);
  if (!press) {
    if (finite(point)) move(point);
    return;
  }
  flushMotion();
  if (finite(point) && !(pointer && samePoint(*pointer, point))) sendMotion(point);
  std::erase(buttons, button);
  if (*press) buttons.push_back(button);
  if (*press && spacePresses) {
    const auto now = device->now();
    const auto due = lastPress ? std::max(now, *lastPress + kPressSpacing) : now;
    if (now < due) {
      device->deliver();
      device->wait(std::chrono::duration_cast<std::chrono::microseconds>(due - now));
    }
    lastPress = due;
  }
  device->button(button, *press, clickState);
}

void InputPolicy::move(CGPoint point) {
  pointer = point;
  if (lastMotion && device->now() - *lastMotion < kMotionInterval) {
    heldMotion = point;
    return;
  }
  heldMotion.reset();
  sendMotion(point);
}

void InputPolicy::sendMotion(CGPoint point) {
  pointer = point;
  lastMotion = device->now();
  device->moveTo(point);
}

void InputPolicy::flushMotion() {
  if (!heldMotion) return;
  const CGPoint point = *heldMotion;
  heldMotion.reset();
  sendMotion(point);
}

// Scrolling.

ScrollAxis InputPolicy::scrollAxis(AxisCarry& carry, std::int64_t pixels) const {
  pixels = std::clamp(pixels, -kMaxScrollPixels, kMaxScrollPixels);
  if (pixels == 0) return {};
  const int direction = pixels > 0 ? 1 : -1;
  if (direction != carry.direction) carry = AxisCarry{direction};
  ScrollAxis axis;
  axis.pixels = pixels;
  carry.pixels += pixels;
  axis.notches = carry.pixels / kPixelsPerNotch;
  carry.pixels -= axis.notches * kPixelsPerNotch;
  const std::int64_t hundredths = pixels * unitsPerNotch + carry.hundredths;
  axis.units = hundredths / kPixelsPerNotch;
  carry.hundredths = hundredths - axis.units * kPixelsPerNotch;
  return axis;
}

void InputPolicy::scroll(std::int32_t wheel1, std::int32_t wheel2) {
  flushMotion();
  // CoreGraphics wheels are positive up and left; intents positive down and right.
  Scroll scroll;
  scroll.vertical = scrollAxis(vertical, -static_cast<std::int64_t>(wheel1));
  scroll.horizontal = scrollAxis(horizontal, -static_cast<std::int64_t>(wheel2));
  if (scroll.vertical.pixels == 0 && scroll.horizontal.pixels == 0) return;
  device->scroll(scroll);
}

// Keys.

InputPolicy::HeldKey* InputPolicy::findHeld(const PhysicalKey& key) {
  for (HeldKey& held : keys) {
    if (held.key == &key) return &held;
  }
  return nullptr;
}

bool InputPolicy::neededByOthers(const PhysicalKey& modifier) const {
  return std::any_of(keys.begin(), keys.end(), [&](const HeldKey& held) {
    return std::find(held.needs.begin(), held.needs.end(), &modifier) != held.needs.end();
  });
}

void InputPolicy::press(const PhysicalKey& key, bool forFlags,
                        std::vector<const PhysicalKey*> needs) {
  keys.push_back(HeldKey{&key, forFlags, std::move(needs)});
  device->key(key, true);
}

void InputPolicy::release(const PhysicalKey& key) {
  std::erase_if(keys, [&](const HeldKey& held) { return held.key == &key; });
  for (HeldKey& held : keys) std::erase(held.needs, &key);
  device->key(key, false);
}

void InputPolicy::releaseFlagModifiers(CGEventFlags keep) {
  for (std::size_t i = keys.size(); i-- > 0;) {
    if (!keys[i].forFlags) continue;
    const Modifier* modifier = modifierOf(*keys[i].key);
    if (modifier != nullptr && (keep & modifier->mask) != 0) continue;
    release(*keys[i].key);
  }
}

void InputPolicy::key(CGKeyCode virtualKey, bool down, CGEventFlags flags) {
  flushMotion();
  const PhysicalKey* key = findPhysicalKey(virtualKey);
  if (key == nullptr) return;
  HeldKey* held = findHeld(*key);
  if (!down) {
    if (held == nullptr) return;
    const std::vector<const PhysicalKey*> needs = held->needs;
    release(*key);
    for (auto it = needs.rbegin(); it != needs.rend(); ++it) {
      const HeldKey* modifier = findHeld(**it);
      if (modifier != nullptr && modifier->forFlags && !neededByOthers(**it)) release(**it);
    }
    return;
  }
  if (held != nullptr) {
    // The controller's own press of a modifier the agent holds for flags makes it the
    // controller's: it stays down until the controller releases it.
    held->forFlags = false;
    return;
  }
  releaseFlagModifiers(flags);
  if (modifierOf(*key) != nullptr) {
    press(*key, false, {});
    return;
  }
  std::vector<const PhysicalKey*> needs;
  for (const Modifier& modifier : kModifiers) {
    if ((flags & modifier.mask) == 0) continue;
    const HeldKey* giver = nullptr;
    for (const PhysicalKey* candidate : modifier.givenBy) {
      if (const HeldKey* found = findHeld(*candidate)) giver = found;
    }
    if (giver == nullptr) {
      press(*modifier.press, true, {});
      needs.push_back(modifier.press);
    } else if (giver->forFlags) {
      needs.push_back(giver->key);
    }
  }
  press(*key, false, std::move(needs));
}

void InputPolicy::text(std::span<const UniChar> units, bool down) {
  flushMotion();
  if (!down) return;
  releaseFlagModifiers(0);
  const std::u32string scalars = scalarsOf(units);
  if (!scalars.empty()) device->text(scalars);
}

// Lines and waits.

void InputPolicy::endOfLine() { device->deliver(); }

void InputPolicy::awaitingInput() {
  if (!heldMotion) return;
  flushMotion();
  device->deliver();
}
