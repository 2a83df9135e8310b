// The GNOME route: input through mutter's remote desktop D-Bus API (remote_desktop.h).
#pragma once

#include <memory>

#include "platform/linux/route.h"

// Null when the session bus has no mutter remote desktop (see RemoteDesktop::open).
std::unique_ptr<Route> openGnomeRoute(bool forced);
