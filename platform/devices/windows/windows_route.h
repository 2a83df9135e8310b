// The Windows route: input through SendInput on the interactive desktop of the agent's session.
#pragma once

#include <memory>
#include <string>

#include "platform/devices/device.h"

// Null, with the reason, when the process has no desktop to send input to. Forcing the route
// changes nothing. Makes the process per-monitor DPI aware first, so that every coordinate is a
// physical pixel of the virtual desktop.
std::unique_ptr<Device> openWindowsRoute(bool forced, std::string& whyNot);
