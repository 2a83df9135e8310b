// Shared by the implementations built on every platform (trace, null): conversions between the
// platform's handle types and the implementation's own objects.
//
// On Apple the handle types point to the system's own structs, which no implementation may
// define, so an implementation keeps its objects in structs of its own and converts. A handle is
// only ever converted back to the type it was made from; CFRelease, which takes events and
// sources alike, tells them apart by the ObjectKind tag that starts both structs.
#pragma once

#include "platform/events.h"
#include "platform/object_kind.h"

template <typename Handle, typename Object>
Handle toHandle(Object* object) {
  return reinterpret_cast<Handle>(object);
}

template <typename Object>
const Object* fromHandle(CFTypeRef handle) {
  return static_cast<const Object*>(handle);
}
