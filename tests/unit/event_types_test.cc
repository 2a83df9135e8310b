// The event interface's types behave as the platform's own: the same checks hold against
// platform/events.h on Linux and against the system header on Apple, so code that builds on one
// and not the other shows up here first. Compile-time checks only.
#include <cstdint>
#include <type_traits>

#include "platform/events.h"

namespace {

template <typename Enum, typename Underlying>
constexpr bool strictEnum() {
  if constexpr (std::is_enum_v<Enum>) {
    return std::is_same_v<std::underlying_type_t<Enum>, Underlying> &&
           !std::is_convertible_v<Underlying, Enum> && !std::is_convertible_v<int, Enum>;
  } else {
    return false;  // a plain integer type accepts any integer
  }
}

static_assert(strictEnum<CGEventType, std::uint32_t>());
static_assert(strictEnum<CGMouseButton, std::uint32_t>());
static_assert(strictEnum<CGEventField, std::uint32_t>());
static_assert(strictEnum<CGEventTapLocation, std::uint32_t>());
static_assert(strictEnum<CGEventSourceStateID, std::int32_t>());
static_assert(strictEnum<CGScrollEventUnit, std::uint32_t>());
static_assert(!std::is_convertible_v<CGMouseButton, CGEventType>);
static_assert(!std::is_convertible_v<CGEventType, CGEventTapLocation>);

// The flags are the 64-bit mask type itself; its named bits combine into one.
static_assert(std::is_same_v<CGEventFlags, std::uint64_t>);
static_assert(
    std::is_same_v<decltype(kCGEventFlagMaskShift | kCGEventFlagMaskCommand), CGEventFlags>);

// Handles: distinct pointers that convert to CFTypeRef (for CFRelease) but not to each other.
static_assert(std::is_pointer_v<CGEventRef> && std::is_pointer_v<CGEventSourceRef>);
static_assert(!std::is_convertible_v<CGEventRef, CGEventSourceRef>);
static_assert(!std::is_convertible_v<CGEventSourceRef, CGEventRef>);
static_assert(std::is_convertible_v<CGEventRef, CFTypeRef>);
static_assert(std::is_convertible_v<CGEventSourceRef, CFTypeRef>);
static_assert(!std::is_convertible_v<CFTypeRef, CGEventRef>);

static_assert(std::is_same_v<CGKeyCode, std::uint16_t>);
static_assert(sizeof(UniChar) == 2 && std::is_unsigned_v<UniChar>);
static_assert(std::is_same_v<UniCharCount, unsigned long>);
static_assert(std::is_same_v<CGFloat, double>);

}  // namespace
