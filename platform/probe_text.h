// Writing --probe's findings (platform/probe.h) in its two forms, for every platform.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

struct ProbeRoute {
  std::string name;
  bool taken = false;
  std::string text;  // why it was passed over, or what it can do
};

// Writes the findings; `note` is a line for a person (none in JSON). Returns the exit status: 0
// when a route was taken, 1 when none.
int writeProbe(std::FILE* out, bool json, const std::vector<ProbeRoute>& routes,
               std::string_view note = {});
