// An implementation that creates events and sends them nowhere, printing nothing. It isolates
// the agent's own cost in benchmarks and lets the fuzzer run without a display.
#include <cstdint>

#include "platform/deliver.h"
#include "platform/events.h"
#include "platform/handles.h"

namespace {

struct NullEvent {
  ObjectKind kind = ObjectKind::event;
};
struct NullSource {
  ObjectKind kind = ObjectKind::source;
};

// Events live from create to release, one at a time; a fixed one costs no allocation and keeps
// benchmark figures about the agent rather than the allocator.
NullEvent theEvent;
NullSource theSource;
}  // namespace

extern "C" {
CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID) {
  return toHandle<CGEventSourceRef>(&theSource);
}
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef, CGEventType, CGPoint, CGMouseButton) {
  return toHandle<CGEventRef>(&theEvent);
}
CGEventRef CGEventCreateScrollWheelEvent2(CGEventSourceRef, CGScrollEventUnit, std::uint32_t,
                                          std::int32_t, std::int32_t, std::int32_t) {
  return toHandle<CGEventRef>(&theEvent);
}
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef, CGKeyCode, bool) {
  return toHandle<CGEventRef>(&theEvent);
}
void CGEventSetFlags(CGEventRef, CGEventFlags) {}
void CGEventSetIntegerValueField(CGEventRef, CGEventField, std::int64_t) {}
void CGEventKeyboardSetUnicodeString(CGEventRef, UniCharCount, const UniChar*) {}
void CGEventPost(CGEventTapLocation, CGEventRef) {}
void CFRelease(CFTypeRef) {}
}

void deliverPostedEvents() {}
void beforeInputWait() {}
