// What the agent finds on this desktop, for a person (input-agent --probe) or a program
// (--probe --json): which route it would take and why each earlier one was passed over, and what
// the route taken can do here. It opens the route as the agent would and posts nothing. Each
// platform implements it: the device platforms walk their route table, macOS and the trace and
// null builds say what they are.
//
// The JSON form is one object: {"route": NAME or null, "tried": [{"route": NAME, "taken":
// BOOL, "reason": TEXT (passed over) or "can": TEXT (taken)}, ...]}, NAME as
// INPUT_AGENT_BACKEND spells it.
#pragma once

#include <cstdio>

// Writes the findings to `out`; the exit status: 0 when a route was found, 1 when none.
int probePlatform(bool json, std::FILE* out);
