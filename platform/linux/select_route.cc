// The choice of route at start: see select_route.h.
#include "platform/linux/select_route.h"

std::unique_ptr<Route> selectRoute(const char* backend) {
  if (backend != nullptr) {
    for (std::size_t i = 0; i < kRouteCount; ++i) {
      if (kRoutes[i].name == backend) return kRoutes[i].open(true);
    }
    return nullptr;
  }
  for (std::size_t i = 0; i < kRouteCount; ++i) {
    if (auto route = kRoutes[i].open(false)) return route;
  }
  return nullptr;
}
