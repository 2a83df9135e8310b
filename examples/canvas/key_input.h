// Turns one KeyPress into what the canvas shows: typed text, a token for a chord or a key that
// types nothing ("Super+c", "Ctrl+Shift+Tab", "Left"), an edit (Return, BackSpace), or nothing
// (a modifier key on its own). Text comes from the input context in the UTF-8 locale, so any
// keysym the keymap holds, including ones mapped a moment ago, reads as its character.
#pragma once

#include <X11/Xlib.h>

#include <string>

struct KeyInput {
  enum class Kind { none, text, token, newline, backspace };
  Kind kind = Kind::none;
  std::string text;         // the UTF-8 text, or the token's name
  std::string description;  // for the status line: keycode, keysym and result
};

// ic may be null (no input method could be opened): text then comes from the keysym alone.
KeyInput readKeyPress(XIC ic, XKeyEvent& event);
