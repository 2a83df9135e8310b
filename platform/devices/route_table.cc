// The routes of this executable, in the order they are tried at start (see routes.h): the only
// file that names them all. The build defines INPUT_AGENT_ROUTE_<NAME> for each route it
// compiles in (CMake's INPUT_AGENT_ROUTES).
#include "platform/devices/routes.h"

#if INPUT_AGENT_ROUTE_WLROOTS
#include "platform/devices/wlroots/wlroots_route.h"
#endif
#if INPUT_AGENT_ROUTE_KDE
#include "platform/devices/kde/kde_route.h"
#endif
#if INPUT_AGENT_ROUTE_GNOME
#include "platform/devices/gnome/gnome_route.h"
#endif
#if INPUT_AGENT_ROUTE_X11
#include "platform/devices/x11/x11_route.h"
#endif
#if INPUT_AGENT_ROUTE_WINDOWS
#include "platform/devices/windows/windows_route.h"
#endif

namespace {

const RouteEntry kRoutes[] = {
#if INPUT_AGENT_ROUTE_WLROOTS
    {"wlroots", openWlrootsRoute},
#endif
#if INPUT_AGENT_ROUTE_KDE
    {"kde", openKdeRoute},
#endif
#if INPUT_AGENT_ROUTE_GNOME
    {"gnome", openGnomeRoute},
#endif
#if INPUT_AGENT_ROUTE_X11
    {"x11", openX11Route},
#endif
#if INPUT_AGENT_ROUTE_WINDOWS
    {"windows", openWindowsRoute},
#endif
    {"", nullptr},  // keeps the array non-empty; never taken
};

}  // namespace

std::span<const RouteEntry> routeTable() {
  return std::span<const RouteEntry>(kRoutes, std::size(kRoutes) - 1);
}
