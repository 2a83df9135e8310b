// Linux: the CoreGraphics-named calls, written once for every route. Creation and the setters
// record what an event is to do; CGEventPost hands it to the source's route; CFRelease frees
// events and, for the source, ends the route (which releases what the agent holds).
#include <cstdlib>

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

// Receivers count clicks themselves; the click state tells a route which press is the second of
// a double click.
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, std::int64_t value) {
  if (field == kCGMouseEventClickState) event->clickState = value;
}

void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                     const UniChar* unicodeString) {
  event->text.assign(unicodeString, unicodeString + stringLength);
}

void CGEventPost(CGEventTapLocation, CGEventRef event) {
  if (event->source != nullptr && event->source->route) event->source->route->post(*event);
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
