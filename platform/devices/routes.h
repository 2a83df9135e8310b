// The routes to a desktop, and the choice of one at start. A route is one way of reaching the
// desktop (the X server's XTest, the wlroots virtual devices, KWin's fake input, mutter's remote
// desktop), one folder of platform/devices/, announced by one entry: its name and a function that
// opens its device here or says why not. route_table.cc lists the routes this executable has, in
// the order they are tried; it is the only file that names them all.
//
// Without INPUT_AGENT_BACKEND the routes are tried in order and the first that opens is taken.
// INPUT_AGENT_BACKEND naming a route takes that route only ("forced": it may try where the
// environment gives no hint); another value, the empty one included, or a named route that
// cannot open, gives none. With no route the agent posts nowhere.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/devices/device.h"

struct RouteEntry {
  std::string_view name;
  // The route's device, or null with `whyNot` saying what the user could change.
  std::unique_ptr<Device> (*open)(bool forced, std::string& whyNot);
};

// The routes of this executable, in the order they are tried (route_table.cc).
std::span<const RouteEntry> routeTable();

// What became of one route that was tried.
struct RouteAttempt {
  std::string_view name;
  std::string whyNot;  // empty for the route taken
};

struct RouteChoice {
  std::unique_ptr<Device> device;  // null when no route opened
  std::string_view name;
  std::vector<RouteAttempt> tried;  // in order, the one taken last
};

// Picks the route as described above; `backend` is INPUT_AGENT_BACKEND's value, null if unset.
RouteChoice selectRoute(std::span<const RouteEntry> routes, const char* backend);
