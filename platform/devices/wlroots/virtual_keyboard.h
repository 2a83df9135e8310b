// wlroots: the agent's virtual keyboard for keys, with the seat's keymap (keymap.h). Unicode
// text goes through a keyboard of its own (text_keyboard.h).
//
// Keys are pressed by physical key: the Linux input code of the key table's row. In this protocol
// modifiers are state as well as keys: after every key that changes them, the keyboard sends the
// `modifiers` request with the state of the agent's keymap (kept with xkbcommon from the keys it
// holds), so a modifier key the policy presses is in force for the keys after it.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/devices/wlroots/keymap.h"
#include "platform/devices/wlroots/wayland_connection.h"

class VirtualKeyboard {
 public:
  // Null when no keymap can be made.
  static std::unique_ptr<VirtualKeyboard> make(WaylandConnection& connection);
  ~VirtualKeyboard() = default;
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  void key(std::uint32_t linuxCode, bool press);

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

  VirtualKeyboard(WaylandConnection& connection, std::string keymap);
  void sendModifiers(bool always);

  WaylandConnection& connection;
  std::string keymap;  // the uploaded text
  std::unique_ptr<xkb_context, ContextUnref> context;
  std::unique_ptr<xkb_keymap, KeymapUnref> compiled;
  std::unique_ptr<xkb_state, StateUnref> state;
  Proxy<zwp_virtual_keyboard_v1> keyboard;
  xkb_mod_mask_t sentDepressed = 0, sentLatched = 0, sentLocked = 0;
  xkb_layout_index_t sentGroup = 0;
};
