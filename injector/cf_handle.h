// Ownership of the platform's handles: a CFHandle holds one reference to an event or an event
// source and gives it back with CFRelease when it goes. A null handle releases nothing.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/events.h"

struct CFReleaser {
  void operator()(CFTypeRef handle) const { CFRelease(handle); }
};

template <typename Ref>
using CFHandle = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;
