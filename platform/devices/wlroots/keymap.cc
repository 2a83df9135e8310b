// wlroots: the uploaded keymaps (see keymap.h).
#include "platform/devices/wlroots/keymap.h"

#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct KeymapUnref {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapUnref>;

struct FreeString {
  void operator()(char* text) const { std::free(text); }
};

}  // namespace

std::optional<std::string> keysKeymapText(xkb_context* context, const std::string& seatKeymap) {
  KeymapPtr keymap;
  if (!seatKeymap.empty()) {
    keymap.reset(xkb_keymap_new_from_buffer(context, seatKeymap.data(), seatKeymap.size(),
                                            XKB_KEYMAP_FORMAT_TEXT_V1,
                                            XKB_KEYMAP_COMPILE_NO_FLAGS));
  }
  if (!keymap) {
    const xkb_rule_names standard{"evdev", "pc105", "us", "", ""};
    keymap.reset(xkb_keymap_new_from_names(context, &standard, XKB_KEYMAP_COMPILE_NO_FLAGS));
  }
  if (!keymap) return std::nullopt;
  const std::unique_ptr<char, FreeString> written(
      xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1));
  if (!written) return std::nullopt;
  return std::string(written.get()) + '\0';
}

std::string TextKeymap::text() const {
  std::string keycodes;
  std::string symbols;
  char line[128];
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    char keysym[64];
    if (bound[slot] == XKB_KEY_NoSymbol ||
        xkb_keysym_get_name(bound[slot], keysym, sizeof keysym) <= 0) {
      continue;
    }
    const unsigned keycode = keycodeOf(slot);
    std::snprintf(line, sizeof line, "    <T%u> = %u;\n", keycode, keycode);
    keycodes += line;
    std::snprintf(line, sizeof line, "    key <T%u> { [ %s ] };\n", keycode, keysym);
    symbols += line;
  }
  return "xkb_keymap {\n"
         "  xkb_keycodes \"input-agent-text\" {\n"
         "    minimum = 8;\n"
         "    maximum = 255;\n" +
         keycodes +
         "  };\n"
         "  xkb_types \"input-agent-text\" {\n"
         "    type \"ONE_LEVEL\" {\n"
         "      modifiers = none;\n"
         "      level_name[Level1] = \"Any\";\n"
         "    };\n"
         "  };\n"
         "  xkb_compatibility \"input-agent-text\" {\n"
         "  };\n"
         "  xkb_symbols \"input-agent-text\" {\n" +
         symbols +
         "  };\n"
         "};\n" +
         '\0';
}

void uploadKeymap(zwp_virtual_keyboard_v1* keyboard, const std::string& text) {
  const int fd = memfd_create("input-agent-keymap", MFD_CLOEXEC);
  if (fd < 0) return;
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  if (written == text.size()) {
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(text.size()));
  }
  close(fd);
}
