// The event posting interface: the CoreGraphics operations and constants the agent uses,
// under the names the platform gives them.
//
// On Apple this is the system's own CoreGraphics header. Elsewhere the same operations are
// declared here and implemented by exactly one of the implementations in this folder (X11 over
// XTest, a trace that prints every call, or one that does nothing), chosen at link time.
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

// Opaque handles. Each implementation defines the two structs its own way.
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

using CGEventType = std::uint32_t;
using CGMouseButton = std::uint32_t;
using CGEventFlags = std::uint64_t;
using CGEventField = std::uint32_t;
using CGEventTapLocation = std::uint32_t;
using CGEventSourceStateID = std::int32_t;
using CGScrollEventUnit = std::uint32_t;
using CGKeyCode = std::uint16_t;
using UniChar = std::uint16_t;
using UniCharCount = unsigned long;

inline constexpr CGEventType kCGEventLeftMouseDown = 1;
inline constexpr CGEventType kCGEventLeftMouseUp = 2;
inline constexpr CGEventType kCGEventRightMouseDown = 3;
inline constexpr CGEventType kCGEventRightMouseUp = 4;
inline constexpr CGEventType kCGEventMouseMoved = 5;
inline constexpr CGEventType kCGEventLeftMouseDragged = 6;
inline constexpr CGEventType kCGEventRightMouseDragged = 7;
inline constexpr CGEventType kCGEventOtherMouseDown = 25;
inline constexpr CGEventType kCGEventOtherMouseUp = 26;
inline constexpr CGEventType kCGEventOtherMouseDragged = 27;

inline constexpr CGMouseButton kCGMouseButtonLeft = 0;
inline constexpr CGMouseButton kCGMouseButtonRight = 1;
inline constexpr CGMouseButton kCGMouseButtonCenter = 2;

inline constexpr CGEventFlags kCGEventFlagMaskShift = 0x20000;
inline constexpr CGEventFlags kCGEventFlagMaskControl = 0x40000;
inline constexpr CGEventFlags kCGEventFlagMaskAlternate = 0x80000;
inline constexpr CGEventFlags kCGEventFlagMaskCommand = 0x100000;

inline constexpr CGEventSourceStateID kCGEventSourceStateHIDSystemState = 1;
inline constexpr CGEventTapLocation kCGHIDEventTap = 0;
inline constexpr CGEventField kCGMouseEventClickState = 1;
inline constexpr CGScrollEventUnit kCGScrollEventUnitPixel = 0;

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
