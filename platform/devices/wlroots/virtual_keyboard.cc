// wlroots: the virtual keyboard (see virtual_keyboard.h).
#include "platform/devices/wlroots/virtual_keyboard.h"

#include <linux/input-event-codes.h>

#include "keys/key_table.h"
#include "platform/devices/wlroots/event_time.h"

std::unique_ptr<VirtualKeyboard> VirtualKeyboard::make(WaylandConnection& connection) {
  std::unique_ptr<xkb_context, ContextUnref> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context) return nullptr;
  xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
  std::optional<std::string> keymap = keysKeymapText(context.get(), connection.seatKeymap());
  if (!keymap) return nullptr;
  std::unique_ptr<VirtualKeyboard> self(new VirtualKeyboard(connection, std::move(*keymap)));
  self->context = std::move(context);
  self->compiled.reset(
      xkb_keymap_new_from_buffer(self->context.get(), self->keymap.data(), self->keymap.size() - 1,
                                 XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!self->compiled) return nullptr;
  self->state.reset(xkb_state_new(self->compiled.get()));
  if (!self->state) return nullptr;
  self->keyboard.reset(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
      connection.keyboardManager(), connection.seat()));
  uploadKeymap(self->keyboard.get(), self->keymap);
  return self;
}

VirtualKeyboard::VirtualKeyboard(WaylandConnection& connection, std::string keymap)
    : connection(connection), keymap(std::move(keymap)) {}

void VirtualKeyboard::key(std::uint32_t linuxCode, bool press) {
  if (linuxCode == 0) return;
  xkb_state_update_key(state.get(), linuxCode + kXkbKeycodeOffset, press ? XKB_KEY_DOWN : XKB_KEY_UP);
  if (!connection.live()) return;
  zwp_virtual_keyboard_v1_key(
      keyboard.get(), eventTime(), linuxCode,
      press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  sendModifiers(false);
}

void VirtualKeyboard::sendModifiers(bool always) {
  const xkb_mod_mask_t depressed = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED);
  const xkb_mod_mask_t latched = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LATCHED);
  const xkb_mod_mask_t locked = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED);
  const xkb_layout_index_t group =
      xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
  if (!always && depressed == sentDepressed && latched == sentLatched && locked == sentLocked &&
      group == sentGroup) {
    return;
  }
  sentDepressed = depressed;
  sentLatched = latched;
  sentLocked = locked;
  sentGroup = group;
  if (connection.live()) {
    zwp_virtual_keyboard_v1_modifiers(keyboard.get(), depressed, latched, locked, group);
  }
}
