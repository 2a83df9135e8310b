// The X11 route's state and the pieces its files share.
//
// An X11Source owns the connection to the X server named by DISPLAY, opened with the XTest
// extension; the route (x11_route.cc) posts the agent's events on it. Once the connection is
// lost no further Xlib call is made on it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/linux/held_inputs.h"
#include "platform/linux/linux_objects.h"

struct DisplayClose {
  void operator()(Display* display) const;
};
using DisplayPtr = std::unique_ptr<Display, DisplayClose>;

// Pixels of a scroll event that did not yet make a whole wheel notch, carried to the next event
// of the same direction on the same axis.
struct ScrollRemainder {
  std::int64_t pixels = 0;
};

// keyboard.cc: virtual keys, modifiers and Unicode text on the server. Destroyed before the
// connection closes, so that it can put back what it changed in the server's keymap.
class KeyboardMapper;
struct KeyboardMapperDelete {
  void operator()(KeyboardMapper* mapper) const;
};

struct X11Source {
  DisplayPtr display;
  int screen = 0;
  int width = 0;
  int height = 0;
  ScrollRemainder vertical;
  ScrollRemainder horizontal;
  HeldInputs held;  // released when the source goes
  std::unique_ptr<KeyboardMapper, KeyboardMapperDelete> keyboard;

  // The connection, or null when there is none or it has been lost.
  Display* live() const;
};

// Set by the I/O error handler when the server goes away.
bool x11ConnectionLost();

// source.cc: the connection to the display that DISPLAY names, with XTest; null without one.
std::unique_ptr<X11Source> openX11Source();
// Releases what the agent holds and flushes; the keyboard then puts back the keymap as the
// source's members go.
void closeX11Source(X11Source& source);
// Ends the line's open chord and sends everything to the server.
void deliverX11(X11Source& source);

void postMouseEvent(X11Source& source, const CGEventOpaque& event);
void postScrollEvent(X11Source& source, const CGEventOpaque& event);
void releaseHeldButtons(X11Source& source);

// keyboard.cc
std::unique_ptr<KeyboardMapper, KeyboardMapperDelete> makeKeyboardMapper(Display* display);
void postKeyboardEvent(X11Source& source, const CGEventOpaque& event);
// Releases the modifiers of a chord that the line left open.
void endKeyboardLine(X11Source& source);
void releaseHeldKeys(X11Source& source);
