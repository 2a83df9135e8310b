// The choice of route at start: see routes.h.
#include "platform/devices/routes.h"

RouteChoice selectRoute(std::span<const RouteEntry> routes, const char* backend) {
  RouteChoice choice;
  for (const RouteEntry& route : routes) {
    if (backend != nullptr && route.name != backend) continue;
    RouteAttempt& attempt = choice.tried.emplace_back(RouteAttempt{route.name, {}});
    choice.device = route.open(backend != nullptr, attempt.whyNot);
    if (choice.device) {
      attempt.whyNot.clear();
      choice.name = route.name;
      break;
    }
    if (attempt.whyNot.empty()) attempt.whyNot = "it could not be opened";
  }
  return choice;
}
