// For the tests' Wayland helper programs (seat_keeper.cc, wheel_notch.cc): the seat and the
// virtual pointer and keyboard managers of a wlroots compositor, bound from its registry in one
// roundtrip. A global the compositor lacks stays null.
#pragma once

#include <wayland-client.h>

#include <cstring>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

struct VirtualDeviceGlobals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* pointers = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
};

inline VirtualDeviceGlobals bindVirtualDeviceGlobals(wl_display* display) {
  static constexpr wl_registry_listener kListener = {
      [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        auto& globals = *static_cast<VirtualDeviceGlobals*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr) {
          globals.seat =
              static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
          globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
              wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
        } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
          globals.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
              wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
        }
      },
      [](void*, wl_registry*, uint32_t) {}};
  VirtualDeviceGlobals globals;
  wl_registry_add_listener(wl_display_get_registry(display), &kListener, &globals);
  wl_display_roundtrip(display);
  return globals;
}
