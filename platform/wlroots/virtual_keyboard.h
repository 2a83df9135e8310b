// wlroots: the agent's virtual keyboard, with the keymap it uploads (keymap.h).
//
// Keys are pressed by physical key: the Linux input code of the key table's row for the virtual
// key. In this protocol modifiers are state, not keys: after every key that changes them, the
// keyboard sends the `modifiers` request with the state of the agent's keymap (kept with
// xkbcommon from the keys it holds). Flags press the modifier keys themselves as well, as
// applications expect: for a key-down with flags, each flag's left modifier key is pressed first
// unless a key of that modifier is held already (or is the key itself), and those presses are
// released after the same key's release, so a chord arrives with exactly its modifiers.
//
// Text is typed one scalar at a time through the keymap's spare keycodes: a character without a
// spare bound to it takes the next spare in turn and the keymap is uploaded again before the key,
// so the compositor and the receiver read the new binding before the press (requests travel in
// order). A character already bound is typed at once.
//
// When the keyboard goes it releases every key it holds and clears the modifiers.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <bitset>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/events.h"
#include "platform/wlroots/keymap.h"
#include "platform/wlroots/wayland_connection.h"

class VirtualKeyboard {
 public:
  // Null when no keymap can be made.
  static std::unique_ptr<VirtualKeyboard> make(WaylandConnection& connection);
  ~VirtualKeyboard();
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  void pressKey(CGKeyCode virtualKey, bool down, CGEventFlags flags);
  void typeText(std::u32string_view text);
  void releaseKeys();

 private:
  struct ContextUnref {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
  };
  struct KeymapUnref {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
  };
  struct StateUnref {
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
  };

  VirtualKeyboard(WaylandConnection& connection, AgentKeymap keymap);
  void upload();
  void sendKey(std::uint32_t linuxCode, bool press);
  void sendModifiers(bool always);
  bool held(std::uint32_t linuxCode) const {
    return linuxCode < pressed.size() && pressed[linuxCode];
  }

  WaylandConnection& connection;
  AgentKeymap keymap;
  std::unique_ptr<xkb_context, ContextUnref> context;
  std::unique_ptr<xkb_keymap, KeymapUnref> compiled;
  std::unique_ptr<xkb_state, StateUnref> state;
  Proxy<zwp_virtual_keyboard_v1> keyboard;
  std::bitset<768> pressed;  // by Linux input code
  // The modifier keys pressed for each held key's flags, released after that key.
  std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> addedModifiers;
  xkb_mod_mask_t sentDepressed = 0, sentLatched = 0, sentLocked = 0;
  xkb_layout_index_t sentGroup = 0;
  std::size_t nextSpare = 0;
};
