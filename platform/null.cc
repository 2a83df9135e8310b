// An implementation that creates events and sends them nowhere, printing nothing. It isolates
// the agent's own cost in benchmarks and lets the fuzzer run without a display.
#include "platform/deliver.h"
#include "platform/events.h"
#include "platform/object_kind.h"

struct CGEventOpaque {
  ObjectKind kind = ObjectKind::event;
};
struct CGEventSourceOpaque {
  ObjectKind kind = ObjectKind::source;
};

namespace {
// Events live from create to release, one at a time; a fixed one costs no allocation and keeps
// benchmark figures about the agent rather than the allocator.
CGEventOpaque theEvent;
CGEventSourceOpaque theSource;
}  // namespace

extern "C" {
CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID) { return &theSource; }
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef, CGEventType, CGPoint, CGMouseButton) {
  return &theEvent;
}
CGEventRef CGEventCreateScrollWheelEvent2(CGEventSourceRef, CGScrollEventUnit, std::uint32_t,
                                          std::int32_t, std::int32_t, std::int32_t) {
  return &theEvent;
}
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef, CGKeyCode, bool) { return &theEvent; }
void CGEventSetFlags(CGEventRef, CGEventFlags) {}
void CGEventSetIntegerValueField(CGEventRef, CGEventField, std::int64_t) {}
void CGEventKeyboardSetUnicodeString(CGEventRef, UniCharCount, const UniChar*) {}
void CGEventPost(CGEventTapLocation, CGEventRef) {}
void CFRelease(CFTypeRef) {}
}

void deliverPostedEvents() {}
