// Wayland: the size of one wheel notch as compositors receive it from a real wheel, and as a
// continuous axis value where the agent cannot send a discrete step.
//
// libinput gives sway, KWin and mutter an axis value of 15 with one discrete step for each click
// of a wheel, and so does the wlroots route. KWin's fake input takes no discrete steps, and
// mutter's remote desktop sends its discrete step as an axis value of 10, so on KDE and GNOME a
// notch is a continuous axis value, and toolkits differ in how far that scrolls against a real
// notch (measured on sway, KWin and mutter of Debian 12 and 13): GTK 3 scrolls a notch's distance
// for a value of 15; Chromium reports 12 times the value as deltaY, and a real notch as 180 in
// Debian 12's Chromium, 120 in Debian 13's (one discrete step counted as 120). A value of 12.25,
// the geometric mean of 10 and 15, scrolls between 0.8 and 1.25 times a real notch in each of
// them, the nearest any one value comes to all three.
#pragma once

#include <wayland-util.h>

// One notch's axis value with a discrete step, as a wl_fixed_t's raw number: 15.
inline constexpr wl_fixed_t kNotchAxisValue = 15 * 256;

// One notch's worth as a continuous axis value with no discrete step, as a wl_fixed_t's raw
// number: 12.25.
inline constexpr wl_fixed_t kContinuousNotchAxisValue = 3136;
