// A window of the test's own over the whole screen, mapped and ready to receive the input
// events named by its mask, for the X11 end-to-end tests.
// REQUIRES: gtest, when used, is included before this header (Xlib's macros break its headers).
#pragma once

#include <X11/Xlib.h>

inline Window openFullScreenWindow(Display* d, long eventMask) {
  const int screen = DefaultScreen(d);
  const Window window = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, DisplayWidth(d, screen),
                                            DisplayHeight(d, screen), 0, 0, 0);
  XSelectInput(d, window, eventMask | StructureNotifyMask);
  XMapWindow(d, window);
  XEvent event;
  do {
    XNextEvent(d, &event);
  } while (event.type != MapNotify);
  return window;
}
