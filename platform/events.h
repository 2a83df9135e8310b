// The event posting interface: the CoreGraphics operations and constants the agent uses,
// under the names the platform gives them.
//
// On Apple this is the system's own CoreGraphics header. Elsewhere the same operations are
// declared here and implemented by exactly one implementation, chosen at link time: the device
// platforms' layer (platform/devices/: the input policy over the Linux routes), a trace that
// prints every call (trace.cc), or one that does nothing (null.cc).
//
// Contract the agent relies on, on every platform:
// - every create returns an event or null; a null event is never posted or released;
// - CGEventSourceCreate returns a source or null, and every create accepts a null source;
// - each created event is released with CFRelease after it is posted, before the next is made.
// All calls come from one thread.
#pragma once

#if defined(__APPLE__)

#include <CoreGraphics/CoreGraphics.h>

#else

#include <cstdint>

// Handles: distinct pointer types to structs declared here. On Apple they point to the system's
// own structs, so the implementations built there too (trace, null) keep their objects in
// structs of their own and convert (platform/handles.h); only the device platforms' layer, which
// is built nowhere else, defines these two (platform/devices/device_objects.h).
struct CGEventOpaque;
struct CGEventSourceOpaque;
using CGEventRef = CGEventOpaque*;
using CGEventSourceRef = CGEventSourceOpaque*;
using CFTypeRef = const void*;

using CGFloat = double;
struct CGPoint {
  CGFloat x;
  CGFloat y;
};

// The enumerations are distinct types with fixed underlying types, as the platform declares
// them: an enumerator converts to its integer type, but no integer converts to the enumeration
// without a cast, and one enumeration does not stand in for another.
enum CGEventType : std::uint32_t {
  kCGEventNull = 0,
  kCGEventLeftMouseDown = 1,
  kCGEventLeftMouseUp = 2,
  kCGEventRightMouseDown = 3,
  kCGEventRightMouseUp = 4,
  kCGEventMouseMoved = 5,
  kCGEventLeftMouseDragged = 6,
  kCGEventRightMouseDragged = 7,
  kCGEventKeyDown = 10,
  kCGEventKeyUp = 11,
  kCGEventFlagsChanged = 12,
  kCGEventScrollWheel = 22,
  kCGEventOtherMouseDown = 25,
  kCGEventOtherMouseUp = 26,
  kCGEventOtherMouseDragged = 27,
};

enum CGMouseButton : std::uint32_t {
  kCGMouseButtonLeft = 0,
  kCGMouseButtonRight = 1,
  kCGMouseButtonCenter = 2,
};

enum CGEventField : std::uint32_t {
  kCGMouseEventClickState = 1,
};

enum CGEventTapLocation : std::uint32_t {
  kCGHIDEventTap = 0,
  kCGSessionEventTap = 1,
  kCGAnnotatedSessionEventTap = 2,
};

enum CGEventSourceStateID : std::int32_t {
  kCGEventSourceStatePrivate = -1,
  kCGEventSourceStateCombinedSessionState = 0,
  kCGEventSourceStateHIDSystemState = 1,
};

enum CGScrollEventUnit : std::uint32_t {
  kCGScrollEventUnitPixel = 0,
  kCGScrollEventUnitLine = 1,
};

// The flags are a 64-bit mask: the type is the integer itself, and its named bits are
// enumerators of an unnamed enumeration of that type, so that they combine with | into a mask.
using CGEventFlags = std::uint64_t;
enum : CGEventFlags {
  kCGEventFlagMaskShift = 0x20000,
  kCGEventFlagMaskControl = 0x40000,
  kCGEventFlagMaskAlternate = 0x80000,
  kCGEventFlagMaskCommand = 0x100000,
};

using CGKeyCode = std::uint16_t;
using UniChar = std::uint16_t;
using UniCharCount = unsigned long;

extern "C" {
CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID);
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType,
                                   CGPoint mouseCursorPosition, CGMouseButton mouseButton);
CGEventRef CGEventCreateScrollWheelEvent2(CGEventSourceRef source, CGScrollEventUnit units,
                                          std::uint32_t wheelCount, std::int32_t wheel1,
                                          std::int32_t wheel2, std::int32_t wheel3);
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown);
void CGEventSetFlags(CGEventRef event, CGEventFlags flags);
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, std::int64_t value);
void CGEventKeyboardSetUnicodeString(CGEventRef event, UniCharCount stringLength,
                                     const UniChar* unicodeString);
void CGEventPost(CGEventTapLocation tap, CGEventRef event);
void CFRelease(CFTypeRef cf);
}

#endif
