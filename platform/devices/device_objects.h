// The handles behind the CoreGraphics-named calls on the platforms with devices (every Linux
// route, Windows), the same for every route.
//
// A source owns the input policy over the device of the route chosen when it was created; a
// source is made only when a route opened (no route: CGEventSourceCreate yields null). Events
// made from a null source are created and released as usual and posted nowhere. An event records
// what it is to do; CGEventPost hands it to the source's policy.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/devices/input_policy.h"
#include "platform/events.h"
#include "platform/object_kind.h"

struct CGEventSourceOpaque {
  ObjectKind kind = ObjectKind::source;
  std::unique_ptr<InputPolicy> policy;
};

enum class EventClass : unsigned char { mouse, scroll, keyboard };

struct CGEventOpaque {
  ObjectKind kind = ObjectKind::event;
  EventClass eventClass = EventClass::mouse;
  CGEventSourceRef source = nullptr;
  // mouse
  CGEventType mouseType = kCGEventNull;
  CGPoint point{0, 0};
  CGMouseButton button = kCGMouseButtonLeft;
  std::int64_t clickState = 0;  // 2 for the second click of a double click
  // scroll: CoreGraphics wheel values, positive up and left
  std::int32_t wheel1 = 0;
  std::int32_t wheel2 = 0;
  // keyboard
  CGKeyCode virtualKey = 0;
  bool keyDown = false;
  CGEventFlags flags{};
  std::vector<UniChar> text;
};
