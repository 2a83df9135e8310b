// wayland-x-receiver: an X window of the tests' own, for a Wayland session's Xwayland. It covers
// what the compositor gives it and prints, one line per event on standard output:
//   ready                   once the window is mapped
//   xmotion X Y             pointer motion, window coordinates
//   xbutton N 1|0 X Y t=T   X button N pressed or released, at server time T (ms)
#include <X11/Xlib.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const int screen = DefaultScreen(display);
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, DisplayWidth(display, screen),
                          DisplayHeight(display, screen), 0, 0, 0);
  XSelectInput(display, window,
               ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask);
  XMapWindow(display, window);
  bool mapped = false;
  XEvent event;
  while (XNextEvent(display, &event) == 0) {
    switch (event.type) {
      case MapNotify:
        if (!mapped) std::printf("ready\n");
        mapped = true;
        break;
      case MotionNotify:
        std::printf("xmotion %d %d\n", event.xmotion.x, event.xmotion.y);
        break;
      case ButtonPress:
      case ButtonRelease:
        std::printf("xbutton %u %d %d %d t=%lu\n", event.xbutton.button,
                    event.type == ButtonPress ? 1 : 0, event.xbutton.x, event.xbutton.y,
                    static_cast<unsigned long>(event.xbutton.time));
        break;
      default:
        break;
    }
    std::fflush(stdout);
  }
  return 0;
}
