// What the Linux routes share below the input policy: the numbers and names the Linux desktop
// gives input, the same whichever route sends it.
#pragma once

#include <cstdint>

#include "platform/events.h"

// The Linux input code (BTN_*) of a mouse button, 0 for none.
std::uint32_t linuxButton(CGMouseButton button);

// The keysym that types a Unicode scalar as text: Return for line feed and carriage return, Tab
// for tab, else xkbcommon's keysym for the character (the legacy keysym where there is one, as
// keymaps and layouts hold them: EuroSign for €). Other control characters (C0, DEL, C1) have
// none, so that text never presses Escape, BackSpace or Delete; nor do surrogates, U+0000 and
// values past U+10FFFF. Returns 0 (NoSymbol) for none.
std::uint32_t keysymForScalar(char32_t scalar);

// Whether the environment names a Wayland session: WAYLAND_DISPLAY or WAYLAND_SOCKET set and not
// empty. The Wayland routes try nothing without one, unless forced.
bool inWaylandSession();
