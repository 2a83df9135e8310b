// X11: the server connection, the silent error handlers and the per-line flush (see
// x11_connection.h).
//
// XCB, under Xlib, owns the connection's event queue. The agent reads no events, and while Xlib
// owns the queue every XFlush also tries to read the socket for events (two failed recvmsg calls
// per line, next to the poll and the writev that send the line's requests); with XCB owning it,
// XFlush only writes. Whatever the server sends unasked (errors of requests that need no reply,
// notifications) is read by XCB while it waits to write and dropped after each flush.
#include <X11/Xlib-xcb.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/devices/x11/x11_connection.h"

namespace {

bool connectionLost = false;
// X protocol errors (a keycode the server refuses, say) are dropped: failures are silent.
int ignoreError(Display*, XErrorEvent*) { return 0; }

// The server went away. Xlib's default prints and exits; here the connection is only marked
// lost, and the exit handler below returns instead of ending the process.
int noteConnectionLost(Display*) {
  connectionLost = true;
  return 0;
}
void keepRunning(Display*, void*) { connectionLost = true; }

// Opens the display named by DISPLAY without a word. A server that refuses the connection (no
// authorization, say) sends its reason, and libxcb writes that straight to descriptor 2, past
// every Xlib handler; standard error points at /dev/null while the connection is made.
Display* openDisplaySilently() {
  const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const bool silenced = saved >= 0 && null >= 0 && dup2(null, STDERR_FILENO) == STDERR_FILENO;
  if (null >= 0) close(null);
  Display* display = XOpenDisplay(nullptr);
  if (silenced) dup2(saved, STDERR_FILENO);
  if (saved >= 0) close(saved);
  return display;
}

}  // namespace

bool x11ConnectionLost() { return connectionLost; }

void DisplayClose::operator()(Display* display) const {
  // A lost connection is left alone: Xlib calls on it would only report the loss again.
  if (!connectionLost) XCloseDisplay(display);
}

Display* X11Connection::live() const { return connectionLost ? nullptr : display.get(); }

std::unique_ptr<X11Connection> X11Connection::open(std::string& whyNot) {
  XSetErrorHandler(ignoreError);
  XSetIOErrorHandler(noteConnectionLost);
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    whyNot = "DISPLAY is not set";
    return nullptr;
  }
  DisplayPtr display(openDisplaySilently());
  if (!display) {
    whyNot = std::string("the X display DISPLAY names (") + name + ") does not answer";
    return nullptr;
  }
  XSetEventQueueOwner(display.get(), XCBOwnsEventQueue);
  XSetIOErrorExitHandler(display.get(), keepRunning, nullptr);
  int eventBase, errorBase, major, minor;
  if (!XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor)) {
    whyNot = std::string("the X display ") + name + " has no XTest extension";
    return nullptr;
  }
  // Our own fake input must not be held back while another client grabs the server.
  XTestGrabControl(display.get(), True);
  auto connection = std::unique_ptr<X11Connection>(new X11Connection);
  connection->screen_ = DefaultScreen(display.get());
  connection->width_ = DisplayWidth(display.get(), connection->screen_);
  connection->height_ = DisplayHeight(display.get(), connection->screen_);
  connection->display = std::move(display);
  return connection;
}

void X11Connection::flush() {
  Display* display = live();
  if (display == nullptr) return;
  XFlush(display);
  xcb_connection_t* connection = XGetXCBConnection(display);
  while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection)) std::free(event);
}
