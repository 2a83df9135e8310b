// The choice of route at start. Without INPUT_AGENT_BACKEND the routes are tried in order and
// the first that can run here is taken: wlroots (WAYLAND_DISPLAY or WAYLAND_SOCKET set, and a
// compositor that offers both the virtual pointer and the virtual keyboard), then KDE (a
// compositor that offers KWin's fake input), then GNOME (a Wayland session whose session bus has
// mutter's remote desktop), then X11 (a display named by DISPLAY with the XTest extension).
// INPUT_AGENT_BACKEND=wlroots, =kde, =gnome or =x11 takes that route only; another value, or a
// named route that cannot run here, gives none. With no route the agent posts nowhere.
#pragma once

#include <memory>
#include <string_view>

#include "platform/linux/route.h"

// One route: its name, and a function that opens it here or returns null. `forced` is true
// when INPUT_AGENT_BACKEND named it, so that it may try where the environment gives no hint.
struct RouteEntry {
  std::string_view name;
  std::unique_ptr<Route> (*open)(bool forced);
};

// The routes this executable has, in the order they are tried (defined beside main's link).
extern const RouteEntry kRoutes[];
extern const std::size_t kRouteCount;

// Picks the route as described above; `backend` is INPUT_AGENT_BACKEND's value, null if unset.
std::unique_ptr<Route> selectRoute(const char* backend);
