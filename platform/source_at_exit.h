// What becomes of the injector's event source when the agent ends, chosen at link time with the
// platform like the shortcut chords.
//
// - macOS (and the trace and null builds that stand in for it): the source is kept to the end of
//   the process, unreleased. Nothing is posted at exit: buttons the agent holds stay held, and
//   the trace shows no release.
// - Linux: the source is released. Releasing it lets go of every key and mouse button the agent
//   holds and puts back what it changed in the keymap (platform/x11/).
//
// Called once, from the injector's destructor, with the source or null.
#pragma once

#include "platform/events.h"

void endEventSource(CGEventSourceRef source);
