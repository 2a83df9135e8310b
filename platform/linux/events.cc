// Linux: the CoreGraphics-named calls, written once for every route. Creation and the setters
// record what an event is to do; CGEventPost hands it to the source's route; CFRelease frees
// events and, for the source, ends the route (which releases what it holds).
//
// A mouse event moves the pointer to its point first (a coordinate that is not finite moves
// nothing) and then presses or releases its button; moved and dragged events only move. A
// keyboard event with a Unicode string types the string on key-down and does nothing on key-up,
// as its key-down typed it all; one without presses or releases its virtual key with its flags.
// The click state is left to the receivers, which count clicks themselves.
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/deliver.h"
#include "platform/linux/linux_objects.h"
#include "platform/linux/select_route.h"

namespace {

// The one source the agent makes; deliverPostedEvents flushes its route.
CGEventSourceOpaque* activeSource = nullptr;

CGEventRef newEvent(CGEventSourceRef source, EventClass eventClass) {
  auto* event = new CGEventOpaque;
  event->source = source;
  event->eventClass = eventClass;
  return event;
}

// The scalar values of UTF-16 text; an unpaired surrogate is skipped.
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

void postMouse(Route& route, const CGEventOpaque& event) {
  if (std::isfinite(event.point.x) && std::isfinite(event.point.y)) route.movePointer(event.point);
  switch (event.mouseType) {
    case kCGEventLeftMouseDown:
    case kCGEventRightMouseDown:
    case kCGEventOtherMouseDown:
      route.pressButton(event.button, true);
      break;
    case kCGEventLeftMouseUp:
    case kCGEventRightMouseUp:
    case kCGEventOtherMouseUp:
      route.pressButton(event.button, false);
      break;
    default:
      break;  // moved and dragged: the motion is all
  }
}

void postKeyboard(Route& route, const CGEventOpaque& event) {
  if (event.text.empty()) {
    route.pressKey(event.virtualKey, event.keyDown, event.flags);
  } else if (event.keyDown) {
    route.typeText(scalarsOf(event.text));
  }
}

}  // namespace

extern "C" {

CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID) {
  auto source = std::make_unique<CGEventSourceOpaque>();
  source->route = selectRoute(std::getenv("INPUT_AGENT_BACKEND"));
  if (!source->route) return nullptr;
  activeSource = source.get();
  return source.release();
}

CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType,
                                   CGPoint mouseCursorPosition, CGMouseButton mouseButton) {
  CGEventRef event = newEvent(source, EventClass::mouse);
  event->mouseType = mouseType;
  event->point = mouseCursorPosition;
  event->button = mouseButton;
  return event;
}

CGEventRef CGEventCreateScrollWheelEvent2(CGEventSourceRef source, CGScrollEventUnit,
                                          std::uint32_t wheelCount, std::int32_t wheel1,
                                          std::int32_t wheel2, std::int32_t) {
  CGEventRef event = newEvent(source, EventClass::scroll);
  event->wheel1 = wheelCount >= 1 ? wheel1 : 0;
  event->wheel2 = wheelCount >= 2 ? wheel2 : 0;
  return event;
}

CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown) {
  CGEventRef event = newEvent(source, EventClass::keyboard);
  event->virtualKey = virtualKey;
  event->keyDown = keyDown;
  return event;
}

void CGEventSetFlags(CGEventRef event, CGEventFlags flags) { event->flags = flags; }

void CGEventSetIntegerValueField(CGEventRef, CGEventField, std::int64_t) {}

void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                     const UniChar* unicodeString) {
  event->text.assign(unicodeString, unicodeString + stringLength);
}

void CGEventPost(CGEventTapLocation, CGEventRef event) {
  if (event->source == nullptr || !event->source->route) return;
  Route& route = *event->source->route;
  switch (event->eventClass) {
    case EventClass::mouse:
      postMouse(route, *event);
      break;
    case EventClass::scroll:
      route.scroll(event->wheel1, event->wheel2);
      break;
    case EventClass::keyboard:
      postKeyboard(route, *event);
      break;
  }
}

void CFRelease(CFTypeRef cf) {
  if (objectKindOf(cf) == ObjectKind::event) {
    delete static_cast<const CGEventOpaque*>(cf);
    return;
  }
  const auto* source = static_cast<const CGEventSourceOpaque*>(cf);
  if (source == activeSource) activeSource = nullptr;
  delete source;
}
}

void deliverPostedEvents() {
  if (activeSource != nullptr && activeSource->route) activeSource->route->deliver();
}
