// wlroots: the keymap the agent uploads to its virtual keyboard. It is a base keymap (the seat's
// own where it could be read, so that keys type what the user's layout puts there, else a
// standard one) with spare keycodes added for text: keycodes at or below 255 (the range that X
// clients under Xwayland can read) that the base leaves without symbols. Each spare can be bound
// to one keysym; text() makes the whole keymap with the current bindings.
//
// The base is compiled and written back by xkbcommon, so its text has xkbcommon's own layout;
// the spares are added to its keycodes and symbols sections. A base that does not compile gives
// no keymap; a keymap whose additions do not compile keeps the base and has no spares.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class AgentKeymap {
 public:
  // From keymap text (format XKB v1), or from the standard rules when `base` is empty.
  static std::optional<AgentKeymap> make(xkb_context* context, const std::string& base);

  std::size_t spareCount() const { return spares.size(); }
  xkb_keycode_t spareKeycode(std::size_t slot) const { return spares[slot].keycode; }
  // Binds a spare to a keysym (XKB_KEY_NoSymbol unbinds it).
  void bind(std::size_t slot, xkb_keysym_t keysym) { bound[slot] = keysym; }
  xkb_keysym_t boundTo(std::size_t slot) const { return bound[slot]; }

  // The keymap text with the current bindings, ending in a NUL as the protocol wants.
  std::string text() const;

 private:
  struct Spare {
    xkb_keycode_t keycode;
    std::string name;  // the key's name, without brackets
    bool named;        // whether the base names this keycode already
  };

  std::string base;             // the base, as xkbcommon writes it
  std::size_t keycodesEnd = 0;  // where lines for the keycodes section go
  std::size_t symbolsEnd = 0;   // where lines for the symbols section go
  std::vector<Spare> spares;
  std::vector<xkb_keysym_t> bound;
};

// The keysym that types a Unicode scalar value: Return for line feed and carriage return, Tab for
// tab, else xkbcommon's keysym for the character; XKB_KEY_NoSymbol when there is none.
xkb_keysym_t keysymToType(char32_t scalar);
