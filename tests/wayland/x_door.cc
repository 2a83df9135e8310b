// wayland-x-door: an X client of the tests' own, for a Wayland session's Xwayland, that lets the
// tests' own programs onto the X display and keeps it there. When the tests run as root, sway and
// so Xwayland run as the user "nobody", and Xwayland admits only its own user's clients; this
// client adds root (a server-interpreted "localuser" entry), prints "display NAME" and "ready",
// and stays connected, since Xwayland ends once its last client has gone; it ends with Xwayland.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  char type[] = "localuser";
  char user[] = "root";
  XServerInterpretedAddress address{static_cast<int>(std::strlen(type)),
                                    static_cast<int>(std::strlen(user)), type, user};
  XHostAddress host{FamilyServerInterpreted, static_cast<int>(sizeof address),
                    reinterpret_cast<char*>(&address)};
  XAddHost(display, &host);
  XSync(display, False);
  std::printf("display %s\nready\n", DisplayString(display));
  std::fflush(stdout);
  // Waits on the connection: Xlib ends the program once Xwayland has gone.
  XEvent event;
  while (XNextEvent(display, &event) == 0) {
  }
  return 0;
}
