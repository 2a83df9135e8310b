#include "key_input.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <vector>

#include "utf8.h"

namespace {

// Without an input context: Latin-1 keysyms and Unicode keysyms (0x1000000 + code point) only.
std::string textWithoutContext(XKeyEvent& event, KeySym& keysym) {
  char buffer[32];
  const int n = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
  std::string text;
  if (keysym >= 0x1000100 && keysym <= 0x110FFFF) {
    appendUtf8(text, static_cast<char32_t>(keysym - 0x1000000));
  } else {
    for (int i = 0; i < n; ++i) appendUtf8(text, static_cast<unsigned char>(buffer[i]));
  }
  return text;
}

std::string textWithContext(XIC ic, XKeyEvent& event, KeySym& keysym) {
  std::vector<char> buffer(64);
  Status status = 0;
  int n = Xutf8LookupString(ic, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym,
                            &status);
  if (status == XBufferOverflow) {
    buffer.resize(static_cast<std::size_t>(n) + 1);
    n = Xutf8LookupString(ic, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym,
                          &status);
  }
  if (status == XLookupNone) keysym = NoSymbol;
  if (status != XLookupChars && status != XLookupBoth) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

// The key's name for a token: the keysym of its unshifted level, so that Super with the C key
// reads "Super+c" whatever else the keymap says.
std::string keyName(XKeyEvent& event, KeySym keysym) {
  KeySym base = XLookupKeysym(&event, 0);
  if (base == NoSymbol) base = keysym;
  const char* name = base == NoSymbol ? nullptr : XKeysymToString(base);
  if (name) return name;
  char code[24];
  std::snprintf(code, sizeof code, "keycode %u", event.keycode);
  return code;
}

std::string modifierPrefix(unsigned state, bool withShift) {
  std::string prefix;
  if (state & ControlMask) prefix += "Ctrl+";
  if (state & Mod1Mask) prefix += "Alt+";
  if (state & Mod4Mask) prefix += "Super+";
  if (withShift && (state & ShiftMask)) prefix += "Shift+";
  return prefix;
}

}  // namespace

KeyInput readKeyPress(XIC ic, XKeyEvent& event) {
  KeySym keysym = NoSymbol;
  const std::string text =
      ic ? textWithContext(ic, event, keysym) : textWithoutContext(event, keysym);

  KeyInput input;
  const char* symName = keysym == NoSymbol ? nullptr : XKeysymToString(keysym);
  char description[160];
  std::snprintf(description, sizeof description, "keycode %u %s", event.keycode,
                symName ? symName : "(no keysym)");
  input.description = description;

  if (IsModifierKey(keysym)) return input;

  const unsigned chordMods = event.state & (ControlMask | Mod1Mask | Mod4Mask);
  const bool control = text.size() == 1 && (static_cast<unsigned char>(text[0]) < 0x20 ||
                                            static_cast<unsigned char>(text[0]) == 0x7F);
  if (chordMods != 0) {
    input.kind = KeyInput::Kind::token;
    input.text = modifierPrefix(event.state, true) + keyName(event, keysym);
  } else if (keysym == XK_Return || keysym == XK_KP_Enter) {
    input.kind = KeyInput::Kind::newline;
  } else if (keysym == XK_BackSpace) {
    input.kind = KeyInput::Kind::backspace;
  } else if (!text.empty() && !control) {
    input.kind = KeyInput::Kind::text;
    input.text = text;
  } else {
    // A key that types nothing printable (arrows, Tab, Escape, F keys).
    input.kind = KeyInput::Kind::token;
    input.text = modifierPrefix(event.state, true) + keyName(event, keysym);
  }
  if (!input.text.empty()) input.description += " -> " + input.text;
  return input;
}
