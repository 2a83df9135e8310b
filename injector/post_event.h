// The one road every event takes: the created event (or null) is decorated, posted at the HID
// event tap and released. A null event is skipped silently.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/events.h"

struct EventRelease {
  void operator()(CGEventRef event) const { CFRelease(event); }
};
using EventPtr = std::unique_ptr<std::remove_pointer_t<CGEventRef>, EventRelease>;

template <typename Decorate>
void postEvent(CGEventRef created, Decorate&& decorate) {
  const EventPtr event(created);
  if (!event) return;
  decorate(event.get());
  CGEventPost(kCGHIDEventTap, event.get());
}

inline void postEvent(CGEventRef created) {
  postEvent(created, [](CGEventRef) {});
}
