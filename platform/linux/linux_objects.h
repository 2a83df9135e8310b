// The Linux handles behind the CoreGraphics-named calls, the same for every route.
//
// A source owns the route chosen when it was created, or none; events made from a source without
// a route, or from a null source, are created and released as usual and posted nowhere. An event
// records what it is to do; CGEventPost hands it to the route.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/linux/route.h"
#include "platform/object_kind.h"

struct CGEventSourceOpaque {
  ObjectKind kind = ObjectKind::source;
  std::unique_ptr<Route> route;
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
  // scroll, in pixels
  std::int32_t wheel1 = 0;
  std::int32_t wheel2 = 0;
  // keyboard
  CGKeyCode virtualKey = 0;
  bool keyDown = false;
  CGEventFlags flags{};
  std::vector<UniChar> text;
};
