// The one road every event takes: the created event (or null) is decorated, posted at the HID
// event tap and released. A null event is skipped silently.
#pragma once

#include "injector/cf_handle.h"

template <typename Decorate>
void postEvent(CGEventRef created, Decorate&& decorate) {
  const CFHandle<CGEventRef> event(created);
  if (!event) return;
  decorate(event.get());
  CGEventPost(kCGHIDEventTap, event.get());
}

inline void postEvent(CGEventRef created) {
  postEvent(created, [](CGEventRef) {});
}
