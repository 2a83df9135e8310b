// The X11 route: input through the XTest extension of the X server that DISPLAY names.
#pragma once

#include <memory>
#include <string>

#include "platform/devices/device.h"

// Null, with the reason, when no X server with XTest can be reached here. DISPLAY is what the
// connection reads either way, so forcing the route changes nothing.
std::unique_ptr<Device> openX11Route(bool forced, std::string& whyNot);
