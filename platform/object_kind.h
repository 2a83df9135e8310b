// Shared by the implementations of the interface: CFRelease takes both events and sources, so each
// implementation's two handle structs start with this tag, which tells them apart.
#pragma once

#include <cstring>

enum class ObjectKind : unsigned char { event, source };

// Reads the tag that is the first member of every handle struct.
inline ObjectKind objectKindOf(const void* handle) {
  ObjectKind kind;
  std::memcpy(&kind, handle, sizeof kind);
  return kind;
}
