// Shared by the X11 keyboard tests: a focused full-screen window on its own connection that
// reads keys the way a text-entry client does (an input context, Xutf8LookupString in a UTF-8
// locale, the keymap refreshed on MappingNotify), on a thread of its own while the test posts.
//
// Reading must keep pace with the keys: a client looks a keycode up in the keymap as it is when
// the client reads the event, and the agent rebinds its spare keycodes after a while and when
// it ends.
#pragma once

// gtest comes first: Xlib's macros (None, Bool, Status) would break its headers.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <poll.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/test_window.h"

// One key press as the window saw it.
struct KeyPressed {
  KeySym keysym;
  unsigned modifiers;  // of Shift, Control, Mod1 and Mod4, the ones in force
  std::string text;
  bool operator==(const KeyPressed&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const KeyPressed& k) {
  return os << "{keysym 0x" << std::hex << k.keysym << " modifiers 0x" << k.modifiers << std::dec
            << " \"" << k.text << "\"}";
}

inline constexpr unsigned kModifierMasks = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

class KeyReader {
 public:
  // Opens the window on the display and starts reading. ready() is false when that failed.
  // A lag makes the window handle each event that long after it arrived, as a busy client
  // would, looking keys up in the keymap as it is by then.
  explicit KeyReader(const std::string& displayName,
                     std::chrono::milliseconds lag = std::chrono::milliseconds(0))
      : lag(lag) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) return;
    XSetLocaleModifiers("@im=none");
    display.reset(XOpenDisplay(displayName.c_str()));
    if (!display) return;
    Display* d = display.get();
    window = openFullScreenWindow(d, KeyPressMask);
    XSetInputFocus(d, window, RevertToParent, CurrentTime);
    im = XOpenIM(d, nullptr, nullptr, nullptr);
    if (im == nullptr) return;
    ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                   XNFocusWindow, window, nullptr);
    if (ic == nullptr) return;
    XSetICFocus(ic);
    // Loads the keymap now, as a client does at start-up: the server tells a client of keymap
    // changes only once it has read the keymap.
    XKeysymToKeycode(d, XK_a);
    XSync(d, False);
    reader = std::thread([this] { read(); });
  }

  ~KeyReader() {
    stop();
    if (ic != nullptr) XDestroyIC(ic);
    if (im != nullptr) XCloseIM(im);
  }

  bool ready() const { return reader.joinable() || stopped; }

  // Stops reading once every event the server has sent so far is read, and returns the key
  // presses (modifier keys left out).
  std::vector<KeyPressed> stopAndTake() {
    stop();
    return presses;
  }

  // The text of every press, joined.
  std::string stopAndTakeText() {
    std::string text;
    for (const KeyPressed& k : stopAndTake()) text += k.text;
    return text;
  }

 private:
  struct Close {
    void operator()(Display* d) const { XCloseDisplay(d); }
  };

  void stop() {
    if (!reader.joinable()) return;
    finish = true;
    reader.join();
    stopped = true;
  }

  void read() {
    Display* d = display.get();
    using Clock = std::chrono::steady_clock;
    std::deque<std::pair<XEvent, Clock::time_point>> queued;
    for (bool last = false; !last;) {
      last = finish.load();
      if (last) XSync(d, False);  // everything sent before this is now queued
      while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        queued.emplace_back(event, Clock::now());
      }
      while (!queued.empty() && (last || queued.front().second + lag <= Clock::now())) {
        std::this_thread::sleep_until(queued.front().second + lag);
        handle(queued.front().first);
        queued.pop_front();
      }
      if (!last) {
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 5);
      }
    }
  }

  void handle(XEvent& event) {
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      return;
    }
    if (event.type != KeyPress || XFilterEvent(&event, None)) return;
    char buffer[64];
    KeySym keysym = NoSymbol;
    Status status;
    const int n = Xutf8LookupString(ic, &event.xkey, buffer, sizeof buffer, &keysym, &status);
    if (IsModifierKey(keysym)) return;
    presses.push_back({keysym, event.xkey.state & kModifierMasks,
                       std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0)});
  }

  std::chrono::milliseconds lag;
  std::unique_ptr<Display, Close> display;
  Window window = 0;
  XIM im = nullptr;
  XIC ic = nullptr;
  std::thread reader;
  std::atomic<bool> finish{false};
  bool stopped = false;
  std::vector<KeyPressed> presses;  // written by the reader thread until it is joined
};

// The keysyms of every keycode of the server, to compare the keymap before and after.
inline std::vector<KeySym> keymapOf(Display* d, int* perKeycode = nullptr) {
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(d, &min, &max);
  KeySym* keysyms = XGetKeyboardMapping(d, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<KeySym> all(keysyms, keysyms + static_cast<std::ptrdiff_t>(max - min + 1) * per);
  XFree(keysyms);
  if (perKeycode != nullptr) *perKeycode = per;
  return all;
}

// How many keycodes the server leaves without any keysym.
inline std::size_t unboundKeycodes(Display* d) {
  int per = 0;
  const std::vector<KeySym> all = keymapOf(d, &per);
  std::size_t count = 0;
  for (std::size_t k = 0; per > 0 && k < all.size(); k += static_cast<std::size_t>(per)) {
    bool unbound = true;
    for (int i = 0; i < per; ++i)
      unbound = unbound && all[k + static_cast<std::size_t>(i)] == NoSymbol;
    if (unbound) ++count;
  }
  return count;
}
