// canvas: a white X11 window that shows the input it receives. A held button draws a line along
// the pointer (blue left, green middle, red right), a click leaves a ring and a double click a
// dot in a wide ring, wheel buttons 4-7 scroll the drawing, and typed text appears at the bottom,
// with chords and keys that type nothing shown as boxed names ("Super+c"). Everything drawn is
// kept in memory and painted again on Expose.
//
//   canvas [--size WIDTHxHEIGHT]      default 1000x640, placed at the screen's top-left corner
//
// Standard input takes control lines from a script: "SYNC" answers "SYNC" on standard output
// once every event the server had sent before it is drawn; "QUIT" ends the canvas. "READY" is
// printed once the window is mapped, focused and painted. End of input only stops the reading.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "key_input.h"
#include "painter.h"
#include "scene.h"

namespace {

struct DisplayClose {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
struct ImClose {
  void operator()(XIM im) const { XCloseIM(im); }
};
struct IcDestroy {
  void operator()(XIC ic) const { XDestroyIC(ic); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayClose>;
using ImPtr = std::unique_ptr<std::remove_pointer_t<XIM>, ImClose>;
using IcPtr = std::unique_ptr<std::remove_pointer_t<XIC>, IcDestroy>;

void useUtf8Locale() {
  std::setlocale(LC_ALL, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
  if (!XSupportsLocale()) std::fputs("canvas: Xlib does not support this locale\n", stderr);
  XSetLocaleModifiers("");
}

bool parseSize(const char* text, int& width, int& height) {
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || *end != 'x') return false;
  const char* rest = end + 1;
  const long h = std::strtol(rest, &end, 10);
  if (end == rest || *end != '\0' || w < 200 || h < 200 || w > 8000 || h > 8000) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

class Canvas {
 public:
  Canvas(Display* display, int width, int height);
  bool ok() const { return painter_ && painter_->ok(); }
  // Handles every event the server has sent; returns false once the window is closed.
  bool drainEvents();
  void paintIfNeeded();
  Display* display() const { return display_; }

 private:
  void handle(XEvent& event);

  Display* display_;
  Window window_;
  Atom deleteWindow_;
  ImPtr im_;
  IcPtr ic_;
  std::unique_ptr<Painter> painter_;
  Scene scene_;
  bool dirty_ = true;
  bool closed_ = false;
};

Canvas::Canvas(Display* display, int width, int height) : display_(display) {
  const int screen = DefaultScreen(display);
  window_ = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                BlackPixel(display, screen), WhitePixel(display, screen));
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = 0;
  hints.y = 0;
  hints.width = width;
  hints.height = height;
  XSetNormalHints(display, window_, &hints);
  XStoreName(display, window_, "input-agent canvas");
  deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window_, &deleteWindow_, 1);

  im_.reset(XOpenIM(display, nullptr, nullptr, nullptr));
  if (!im_) {
    // The input method named by XMODIFIERS is not running: use Xlib's built-in one.
    XSetLocaleModifiers("@im=none");
    im_.reset(XOpenIM(display, nullptr, nullptr, nullptr));
  }
  long filterMask = 0;
  if (im_) {
    ic_.reset(XCreateIC(im_.get(), XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                        XNClientWindow, window_, XNFocusWindow, window_, nullptr));
    if (ic_) XGetICValues(ic_.get(), XNFilterEvents, &filterMask, nullptr);
  }
  if (!ic_) std::fputs("canvas: no input context; text limited to Latin-1\n", stderr);

  XSelectInput(display, window_,
               ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask |
                   filterMask);
  XMapRaised(display, window_);
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != MapNotify);
  // Without a window manager nothing else gives the window the keyboard.
  XSetInputFocus(display, window_, RevertToParent, CurrentTime);
  if (ic_) XSetICFocus(ic_.get());
  painter_ = std::make_unique<Painter>(display, window_, width, height);
}

void Canvas::handle(XEvent& event) {
  // The input method sees every event first and may consume it (compose sequences).
  if (XFilterEvent(&event, None)) return;
  switch (event.type) {
    case Expose:
      painter_->expose(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      break;
    case ConfigureNotify:
      painter_->resize(event.xconfigure.width, event.xconfigure.height);
      dirty_ = true;
      break;
    case ButtonPress:
      scene_.press(static_cast<int>(event.xbutton.button), event.xbutton.x, event.xbutton.y,
                   static_cast<std::uint32_t>(event.xbutton.time));
      dirty_ = true;
      break;
    case ButtonRelease:
      scene_.release(static_cast<int>(event.xbutton.button), event.xbutton.x, event.xbutton.y);
      dirty_ = true;
      break;
    case MotionNotify:
      scene_.motion(event.xmotion.x, event.xmotion.y);
      dirty_ = true;
      break;
    case KeyPress: {
      const KeyInput input = readKeyPress(ic_.get(), event.xkey);
      // A modifier key on its own is not news: the chord it belongs to is.
      if (input.kind != KeyInput::Kind::none) scene_.setLastKey(input.description);
      switch (input.kind) {
        case KeyInput::Kind::text:
          scene_.typeText(input.text);
          break;
        case KeyInput::Kind::token:
          scene_.typeToken(input.text);
          break;
        case KeyInput::Kind::newline:
          scene_.typeText("\n");
          break;
        case KeyInput::Kind::backspace:
          scene_.backspace();
          break;
        case KeyInput::Kind::none:
          break;
      }
      dirty_ = true;
      break;
    }
    case MappingNotify:
      // A sender that maps keysyms to spare keycodes changes the keymap as it types.
      if (event.xmapping.request != MappingPointer) XRefreshKeyboardMapping(&event.xmapping);
      break;
    case FocusIn:
      if (ic_) XSetICFocus(ic_.get());
      break;
    case FocusOut:
      if (ic_) XUnsetICFocus(ic_.get());
      break;
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) closed_ = true;
      break;
    default:
      break;
  }
}

bool Canvas::drainEvents() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    handle(event);
  }
  return !closed_;
}

void Canvas::paintIfNeeded() {
  if (!dirty_) return;
  painter_->paint(scene_);
  dirty_ = false;
  XFlush(display_);
}

// Reads control lines from standard input without blocking the event loop.
class ControlInput {
 public:
  bool open() const { return open_; }
  // Reads what is there; returns false at "QUIT". sync is called for each "SYNC".
  template <typename Sync>
  bool read(Sync sync) {
    char chunk[512];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
      open_ = false;
      return true;
    }
    pending_.append(chunk, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = pending_.find('\n')) != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == "QUIT") return false;
      if (line == "SYNC") sync();
    }
    // A line without an end is kept; a runaway one is dropped.
    if (pending_.size() > 4096) pending_.clear();
    return true;
  }

 private:
  bool open_ = true;
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  int width = 1000;
  int height = 640;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
        parseSize(argv[i + 1], width, height)) {
      ++i;
    } else {
      std::fputs("usage: canvas [--size WIDTHxHEIGHT]\n", stderr);
      return 2;
    }
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  useUtf8Locale();
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) {
    std::fputs("canvas: cannot open the display (is DISPLAY set?)\n", stderr);
    return 1;
  }
  Canvas canvas(display.get(), width, height);
  if (!canvas.ok()) {
    std::fputs("canvas: no usable font (install fonts-dejavu-core)\n", stderr);
    return 1;
  }
  canvas.drainEvents();
  canvas.paintIfNeeded();
  XSync(display.get(), False);
  std::fputs("READY\n", stdout);
  std::fflush(stdout);

  ControlInput control;
  auto sync = [&] {
    // The round trip makes the server send every event it produced before this request.
    XSync(display.get(), False);
    canvas.drainEvents();
    canvas.paintIfNeeded();
    XSync(display.get(), False);
    std::fputs("SYNC\n", stdout);
    std::fflush(stdout);
  };
  const int xfd = ConnectionNumber(display.get());
  for (;;) {
    if (!canvas.drainEvents()) break;
    canvas.paintIfNeeded();
    pollfd fds[2] = {{xfd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = control.open() ? 2 : 1;
    if (poll(fds, count, -1) < 0) continue;
    if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) && !control.read(sync)) break;
  }
  return 0;
}
