// The X11 implementation's handles and the pieces its files share.
//
// A source owns the connection to the X server named by DISPLAY, or holds none when no usable
// display (with the XTest extension) could be opened; events made from such a source, or from a
// null source, are created and released as usual and posted nowhere. Once the connection is lost
// no further Xlib call is made on it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/linux/held_inputs.h"
#include "platform/object_kind.h"

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

struct CGEventSourceOpaque {
  ObjectKind kind = ObjectKind::source;
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

enum class EventClass : unsigned char { mouse, scroll, keyboard };

struct CGEventOpaque {
  ObjectKind kind = ObjectKind::event;
  EventClass eventClass = EventClass::mouse;
  CGEventSourceRef source = nullptr;
  // mouse
  CGEventType mouseType = kCGEventNull;
  CGPoint point{0, 0};
  CGMouseButton button = kCGMouseButtonLeft;
  std::int64_t clickState = 0;
  // scroll, in pixels
  std::int32_t wheel1 = 0;
  std::int32_t wheel2 = 0;
  // keyboard
  CGKeyCode virtualKey = 0;
  bool keyDown = false;
  CGEventFlags flags = 0;
  std::vector<UniChar> text;
};

// Set by the I/O error handler when the server goes away.
bool x11ConnectionLost();

void postMouseEvent(CGEventSourceOpaque& source, const CGEventOpaque& event);
void postScrollEvent(CGEventSourceOpaque& source, const CGEventOpaque& event);
void releaseHeldButtons(CGEventSourceOpaque& source);

// keyboard.cc
std::unique_ptr<KeyboardMapper, KeyboardMapperDelete> makeKeyboardMapper(Display* display);
void postKeyboardEvent(CGEventSourceOpaque& source, const CGEventOpaque& event);
// Releases the modifiers of a chord that the line left open.
void endKeyboardLine(CGEventSourceOpaque& source);
void releaseHeldKeys(CGEventSourceOpaque& source);
