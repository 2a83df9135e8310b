// wlroots: the text keyboard (see text_keyboard.h).
#include "platform/devices/wlroots/text_keyboard.h"

#include "keys/key_table.h"
#include "platform/devices/linux/linux_input.h"
#include "platform/devices/wlroots/event_time.h"

TextKeyboard::TextKeyboard(WaylandConnection& connection)
    : connection(connection),
      keyboard(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(connection.keyboardManager(),
                                                                       connection.seat())) {
  // The protocol wants a keymap before any key.
  uploadKeymap(keyboard.get(), keymap.text());
}

void TextKeyboard::type(std::u32string_view text) {
  for (const char32_t scalar : text) {
    const xkb_keysym_t keysym = keysymForScalar(scalar);
    if (keysym == XKB_KEY_NoSymbol) continue;
    std::size_t slot = 0;
    while (slot < TextKeymap::kSlots && keymap.boundTo(slot) != keysym) ++slot;
    if (slot == TextKeymap::kSlots) {
      slot = nextSlot;
      nextSlot = (nextSlot + 1) % TextKeymap::kSlots;
      keymap.bind(slot, keysym);
      if (connection.live()) uploadKeymap(keyboard.get(), keymap.text());
    }
    if (!connection.live()) return;
    const std::uint32_t code = TextKeymap::keycodeOf(slot) - kXkbKeycodeOffset;
    zwp_virtual_keyboard_v1_key(keyboard.get(), eventTime(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard.get(), eventTime(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
  }
}
