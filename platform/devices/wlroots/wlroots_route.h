// The wlroots route: input through the virtual pointer and virtual keyboard protocols of
// compositors built on wlroots (zwlr_virtual_pointer_manager_v1, zwp_virtual_keyboard_manager_v1).
#pragma once

#include <memory>
#include <string>

#include "platform/devices/device.h"

// Null, with the reason, when there is no Wayland compositor here with both protocols (see
// WaylandConnection).
std::unique_ptr<Device> openWlrootsRoute(bool forced, std::string& whyNot);
