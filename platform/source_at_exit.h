// What becomes of the injector's event source when the agent ends, chosen at link time with the
// platform like the shortcut chords.
//
// - macOS (and the trace and null builds that stand in for it): the source is kept to the end of
//   the process, unreleased. Nothing is posted at exit: buttons the agent holds stay held, and
//   the trace shows no release.
// - Linux (the device platforms, platform/devices/): the source is released. Releasing it lets go
//   of every key and mouse button the agent holds and ends the route's device, which puts back
//   what it changed on the desktop (a keymap, virtual devices) and waits for the desktop.
//
// Called once, from the injector's destructor, with the source or null.
#pragma once

#include "platform/events.h"

void endEventSource(CGEventSourceRef source);
