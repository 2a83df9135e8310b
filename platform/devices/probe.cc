// --probe on the platforms with devices (see platform/probe.h): the routes of this executable
// tried as at start, the reason each earlier one was passed over, and what the one taken can do.
// The device taken is closed again without input.
#include "platform/probe.h"

#include <cstdlib>

#include "platform/devices/routes.h"
#include "platform/probe_text.h"

int probePlatform(bool json, std::FILE* out) {
  const char* backend = std::getenv("INPUT_AGENT_BACKEND");
  const RouteChoice choice = selectRoute(routeTable(), backend);
  std::vector<ProbeRoute> routes;
  for (const RouteAttempt& attempt : choice.tried) {
    const bool taken = attempt.name == choice.name && choice.device;
    routes.push_back(
        {std::string(attempt.name), taken, taken ? choice.device->capabilities() : attempt.whyNot});
  }
  std::string note;
  if (backend != nullptr) {
    note = std::string("INPUT_AGENT_BACKEND=") + backend + " allows that route only";
    if (routes.empty()) note += ", and no route has that name";
    note += '.';
  }
  return writeProbe(out, json, routes, note);
}
