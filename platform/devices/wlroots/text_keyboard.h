// wlroots: a second virtual keyboard of the agent's, for Unicode text only.
//
// Text is typed one scalar at a time through the slots of a small keymap of its own (keymap.h):
// a character without a slot bound to it takes the next slot in turn, and the keymap is uploaded
// again before the key, so the compositor and the window read the new binding before the press
// (requests travel in order; no hold time is needed). A character already bound is typed at
// once. Keeping text apart from the keys keyboard keeps every upload small: the keys keyboard's
// keymap is the seat's whole keymap, which the compositor and the window would compile again
// for each character. While text is typed the window sees this keyboard's modifiers, which are
// none, so text is not changed by modifiers the controller holds.
#pragma once

#include <memory>
#include <string_view>

#include "platform/devices/wlroots/keymap.h"
#include "platform/devices/wlroots/wayland_connection.h"

class TextKeyboard {
 public:
  explicit TextKeyboard(WaylandConnection& connection);
  TextKeyboard(const TextKeyboard&) = delete;
  TextKeyboard& operator=(const TextKeyboard&) = delete;

  void type(std::u32string_view text);

 private:
  WaylandConnection& connection;
  Proxy<zwp_virtual_keyboard_v1> keyboard;
  TextKeymap keymap;
  std::size_t nextSlot = 0;
};
