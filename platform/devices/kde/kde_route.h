// The KDE route: input through KWin's fake input (org_kde_kwin_fake_input, version 4).
#pragma once

#include <memory>
#include <string>

#include "platform/devices/device.h"

// Null, with the reason, when there is no Wayland compositor here that offers fake input (see
// KdeConnection).
std::unique_ptr<Device> openKdeRoute(bool forced, std::string& whyNot);
