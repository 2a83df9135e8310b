// The GNOME route: input through mutter's remote desktop D-Bus API (remote_desktop.h).
#pragma once

#include <memory>
#include <string>

#include "platform/devices/device.h"

// Null, with the reason, when the session bus has no mutter remote desktop (see
// RemoteDesktop::open).
std::unique_ptr<Device> openGnomeRoute(bool forced, std::string& whyNot);
