// The routes of an executable that reaches only wlroots compositors.
#include "platform/linux/select_route.h"
#include "platform/wlroots/wlroots_route.h"

const RouteEntry kRoutes[] = {{"wlroots", openWlrootsRoute}};
const std::size_t kRouteCount = std::size(kRoutes);
