// X11: typing Unicode text. X delivers keys, not text, so each Unicode scalar is typed as a
// press and release of a spare keycode (one the server's keymap leaves without keysyms) that
// is bound to the scalar's keysym just before.
//
// Promises:
// - A receiver learns of a rebinding (MappingNotify) and refreshes its keymap in its own time,
//   so a spare's binding is left in place for kHoldBinding after its key was sent before that
//   keycode is bound to anything else. The spares are reused least recently used first; when
//   every spare is younger than that, typing waits for the oldest. A spare already bound to the
//   wanted keysym is reused as it is. So text is typed at up to (number of spares) scalars per
//   kHoldBinding, faster where scalars repeat.
// - The server has the new binding before the key event is sent.
// - restore() puts NoSymbol back on every spare this object bound that still holds its binding.
//   It too waits until the youngest binding has been in place for kHoldBinding, so that the
//   last characters typed before the agent ends still arrive as typed.
// - Nothing is typed when the server has no spare keycode. No Xlib call is made once the
//   connection is lost; nothing is ever printed.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <vector>

#include "platform/events.h"

// The keysym that types a scalar: line feed and carriage return are Return and tab is Tab;
// printable Latin-1 has keysyms equal to its code points; everything else is 0x01000000 plus the
// code point. NoSymbol for U+0000, surrogates and values above U+10FFFF.
KeySym keysymForScalar(char32_t scalar);

// The Unicode scalars of UTF-16 text, surrogate pairs joined; an unpaired surrogate is dropped.
std::vector<char32_t> decodeUtf16(const std::vector<UniChar>& units);

class TextTyper {
 public:
  static constexpr std::chrono::milliseconds kHoldBinding{200};

  // Takes as spares the keycodes of the server's map with no keysym at all, except `reserved`
  // (keycodes that stand for physical keys, which must keep their meaning).
  TextTyper(Display* display, const std::vector<KeyCode>& reserved);

  // Presses and releases a spare bound to the keysym of each scalar of the text, in order.
  void type(const std::vector<UniChar>& text);
  void restore();

  std::size_t spareCount() const { return spares.size(); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Spare {
    KeyCode keycode;
    KeySym bound = NoSymbol;
    Clock::time_point lastSent{};  // when its key was last sent; the epoch when never
  };

  Display* live() const;
  void typeScalar(KeySym keysym);
  Spare& spareFor(KeySym keysym);
  void change(KeyCode keycode, KeySym keysym);

  Display* display;
  std::vector<Spare> spares;
};
