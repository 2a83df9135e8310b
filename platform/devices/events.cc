// The CoreGraphics-named calls on the platforms with devices, written once for every route.
// Creation and the setters record what an event is to do; CGEventPost hands it to the source's
// input policy; CFRelease frees events and, for the source, ends the policy (which releases what
// the agent holds) and its device.
#include <cstdlib>

#include "platform/deliver.h"
#include "platform/devices/device_objects.h"
#include "platform/devices/routes.h"

namespace {

// The one source the agent makes; deliverPostedEvents and beforeInputWait reach its policy.
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
  RouteChoice choice = selectRoute(routeTable(), std::getenv("INPUT_AGENT_BACKEND"));
  if (!choice.device) return nullptr;
  auto* source = new CGEventSourceOpaque;
  source->policy = std::make_unique<InputPolicy>(std::move(choice.device));
  activeSource = source;
  return source;
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

// Receivers count clicks themselves; the click state tells a device which press is the second of
// a double click.
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, std::int64_t value) {
  if (field == kCGMouseEventClickState) event->clickState = value;
}

void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                     const UniChar* unicodeString) {
  event->text.assign(unicodeString, unicodeString + stringLength);
}

void CGEventPost(CGEventTapLocation, CGEventRef event) {
  if (event->source == nullptr) return;
  InputPolicy& policy = *event->source->policy;
  switch (event->eventClass) {
    case EventClass::mouse:
      policy.mouse(event->mouseType, event->point, event->button, event->clickState);
      break;
    case EventClass::scroll:
      policy.scroll(event->wheel1, event->wheel2);
      break;
    case EventClass::keyboard:
      if (event->text.empty()) {
        policy.key(event->virtualKey, event->keyDown, event->flags);
      } else {
        policy.text(event->text, event->keyDown);
      }
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
  if (activeSource != nullptr) activeSource->policy->endOfLine();
}

void beforeInputWait() {
  if (activeSource != nullptr) activeSource->policy->awaitingInput();
}
