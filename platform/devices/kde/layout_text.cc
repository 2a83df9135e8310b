// KDE Plasma: the keys of the active layout for text (see layout_text.h).
#include "platform/devices/kde/layout_text.h"

#include <linux/input-event-codes.h>

#include "keys/key_table.h"
#include "platform/devices/linux/linux_input.h"

LayoutText::LayoutText(const std::string& keymapText) {
  context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (context == nullptr) return;
  xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
  if (!keymapText.empty()) {
    keymap = xkb_keymap_new_from_string(context, keymapText.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                        XKB_KEYMAP_COMPILE_NO_FLAGS);
  }
  if (keymap == nullptr) {
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  }
}

LayoutText::~LayoutText() {
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
}

std::optional<LayoutKey> LayoutText::find(char32_t scalar) const {
  if (scalar == U'\n' || scalar == U'\r') return LayoutKey{KEY_ENTER, {}};
  if (scalar == U'\t') return LayoutKey{KEY_TAB, {}};
  if (keymap == nullptr) return std::nullopt;
  const xkb_keysym_t wanted = keysymForScalar(scalar);
  if (wanted == XKB_KEY_NoSymbol) return std::nullopt;
  const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
  const xkb_mod_index_t level3 = xkb_keymap_mod_get_index(keymap, "Mod5");
  // The key whose level needs the fewest modifiers wins; of those, the lowest keycode.
  std::optional<LayoutKey> best;
  const xkb_keycode_t max = xkb_keymap_max_keycode(keymap);
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= max && code >= kXkbKeycodeOffset;
       ++code) {
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, code, 0);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) != 1 ||
          syms[0] != wanted) {
        continue;
      }
      xkb_mod_mask_t masks[4];
      const std::size_t count = xkb_keymap_key_get_mods_for_level(keymap, code, 0, level, masks, 4);
      for (std::size_t i = 0; i < count; ++i) {
        const xkb_mod_mask_t mask = masks[i];
        xkb_mod_mask_t known = 0;
        LayoutKey key{code - kXkbKeycodeOffset, {}};
        if (shift != XKB_MOD_INVALID && (mask & (1u << shift)) != 0) {
          key.modifiers.push_back(KEY_LEFTSHIFT);
          known |= 1u << shift;
        }
        if (level3 != XKB_MOD_INVALID && (mask & (1u << level3)) != 0) {
          key.modifiers.push_back(KEY_RIGHTALT);
          known |= 1u << level3;
        }
        if (mask != known) continue;
        if (!best || key.modifiers.size() < best->modifiers.size()) best = key;
      }
    }
  }
  return best;
}
