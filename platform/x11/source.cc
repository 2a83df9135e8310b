// X11: the event source (the server connection), the silent error handlers, handle release and
// the per-line flush.
#include <X11/extensions/XTest.h>

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
  DisplayPtr display(XOpenDisplay(nullptr));
  if (display) {
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
  const auto* source = static_cast<const CGEventSourceOpaque*>(cf);
  if (source == activeSource) {
    if (Display* display = source->live()) XFlush(display);
    activeSource = nullptr;
  }
  delete source;
}

void deliverPostedEvents() {
  if (activeSource == nullptr) return;
  if (Display* display = activeSource->live()) XFlush(display);
}
