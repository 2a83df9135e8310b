// The Linux routes, in the order they are tried at start (see select_route.h).
#include "platform/gnome/gnome_route.h"
#include "platform/kde/kde_route.h"
#include "platform/linux/select_route.h"
#include "platform/wlroots/wlroots_route.h"
#include "platform/x11/x11_route.h"

const RouteEntry kRoutes[] = {
    {"wlroots", openWlrootsRoute},
    {"kde", openKdeRoute},
    {"gnome", openGnomeRoute},
    {"x11", openX11Route},
};
const std::size_t kRouteCount = std::size(kRoutes);
