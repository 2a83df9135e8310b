// Wayland: the size of one wheel notch as compositors receive it from a real wheel. libinput
// gives sway, KWin and mutter an axis value of 15 with one discrete step for each click of a
// wheel; GTK and Chromium scroll by the same amount for that notch as for a continuous axis
// value of 15 (measured on sway, KWin and mutter: GTK 3 scrolls in proportion to the value,
// Chromium reports 12 times the value as deltaY).
#pragma once

#include <wayland-util.h>

// One notch's axis value as a wl_fixed_t's raw number.
inline constexpr wl_fixed_t kNotchAxisValue = 15 * 256;
