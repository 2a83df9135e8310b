// X11: the event source (the server connection), the silent error handlers, handle release and
// the per-line flush.
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

#include "platform/deliver.h"
#include "platform/x11/x11_objects.h"

namespace {

bool connectionLost = false;
// The one source the agent makes; deliverPostedEvents flushes its connection.
CGEventSourceOpaque* activeSource = nullptr;

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

Display* CGEventSourceOpaque::live() const { return connectionLost ? nullptr : display.get(); }

extern "C" CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID) {
  XSetErrorHandler(ignoreError);
  XSetIOErrorHandler(noteConnectionLost);
  auto source = std::make_unique<CGEventSourceOpaque>();
  DisplayPtr display(openDisplaySilently());
  if (display) {
    XSetEventQueueOwner(display.get(), XCBOwnsEventQueue);
    XSetIOErrorExitHandler(display.get(), keepRunning, nullptr);
    int eventBase, errorBase, major, minor;
    if (XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor)) {
      // Our own fake input must not be held back while another client grabs the server.
      XTestGrabControl(display.get(), True);
      source->screen = DefaultScreen(display.get());
      source->width = DisplayWidth(display.get(), source->screen);
      source->height = DisplayHeight(display.get(), source->screen);
      source->keyboard = makeKeyboardMapper(display.get());
      source->display = std::move(display);
    }
  }
  if (!source->display) return nullptr;
  activeSource = source.get();
  return source.release();
}

extern "C" void CFRelease(CFTypeRef cf) {
  if (objectKindOf(cf) == ObjectKind::event) {
    delete static_cast<const CGEventOpaque*>(cf);
    return;
  }
  auto* source = static_cast<CGEventSourceOpaque*>(const_cast<void*>(cf));
  // What the agent holds is let go before the keyboard puts the keymap back and the connection
  // closes (the members' destructors).
  releaseHeldKeys(*source);
  releaseHeldButtons(*source);
  if (source == activeSource) {
    if (Display* display = source->live()) XFlush(display);
    activeSource = nullptr;
  }
  delete source;
}

void deliverPostedEvents() {
  if (activeSource == nullptr) return;
  Display* display = activeSource->live();
  if (display == nullptr) return;
  endKeyboardLine(*activeSource);
  XFlush(display);
  xcb_connection_t* connection = XGetXCBConnection(display);
  while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection)) std::free(event);
}
