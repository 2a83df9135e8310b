// X11: event creation and the setters. An event records what it is to do; CGEventPost does it
// on the event's source, or nothing when the source is null or has no connection.
#include "platform/x11/x11_objects.h"

namespace {

CGEventRef newEvent(CGEventSourceRef source, EventClass eventClass) {
  auto* event = new CGEventOpaque;
  event->source = source;
  event->eventClass = eventClass;
  return event;
}

}  // namespace

extern "C" {

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

// An X server counts clicks itself; the click state tells the pointer code which press is the
// second of a double click.
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, std::int64_t value) {
  if (field == kCGMouseEventClickState) event->clickState = value;
}

void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                     const UniChar* unicodeString) {
  event->text.assign(unicodeString, unicodeString + stringLength);
}

void CGEventPost(CGEventTapLocation, CGEventRef event) {
  if (event->source == nullptr || event->source->live() == nullptr) return;
  switch (event->eventClass) {
    case EventClass::mouse:
      postMouseEvent(*event->source, *event);
      break;
    case EventClass::scroll:
      postScrollEvent(*event->source, *event);
      break;
    case EventClass::keyboard:
      postKeyboardEvent(*event->source, *event);
      break;
  }
}
}
