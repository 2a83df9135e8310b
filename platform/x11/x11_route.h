// The X11 route: input through the XTest extension of the X server that DISPLAY names.
#pragma once

#include <memory>

#include "platform/linux/route.h"

// Null when no X server with XTest can be reached here.
std::unique_ptr<Route> openX11Route(bool forced);
