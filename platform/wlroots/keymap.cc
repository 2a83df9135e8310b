// wlroots: the uploaded keymap and its spare keycodes (see keymap.h).
#include "platform/wlroots/keymap.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

struct KeymapUnref {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapUnref>;

struct FreeString {
  void operator()(char* text) const { std::free(text); }
};

// X clients (through Xwayland) read keycodes up to 255 only.
constexpr xkb_keycode_t kLastSpare = 255;

// Where the section that starts with `header` closes: the position of its "};" line.
std::optional<std::size_t> sectionEnd(const std::string& text, std::string_view header) {
  const std::size_t start = text.find(header);
  if (start == std::string::npos) return std::nullopt;
  const std::size_t close = text.find("\n};", start);
  if (close == std::string::npos) return std::nullopt;
  return close + 1;
}

KeymapPtr compile(xkb_context* context, const std::string& text) {
  return KeymapPtr(xkb_keymap_new_from_buffer(
      context, text.data(), text.size(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

}  // namespace

std::optional<AgentKeymap> AgentKeymap::make(xkb_context* context, const std::string& base) {
  KeymapPtr keymap;
  if (!base.empty()) keymap = compile(context, base);
  if (!keymap) {
    const xkb_rule_names standard{"evdev", "pc105", "us", "", ""};
    keymap.reset(xkb_keymap_new_from_names(context, &standard, XKB_KEYMAP_COMPILE_NO_FLAGS));
  }
  if (!keymap) return std::nullopt;
  const std::unique_ptr<char, FreeString> written(
      xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1));
  if (!written) return std::nullopt;

  AgentKeymap result;
  result.base = written.get();
  const auto keycodesEnd = sectionEnd(result.base, "xkb_keycodes");
  const auto symbolsEnd = sectionEnd(result.base, "xkb_symbols");
  if (!keycodesEnd || !symbolsEnd || *keycodesEnd > *symbolsEnd) return result;
  result.keycodesEnd = *keycodesEnd;
  result.symbolsEnd = *symbolsEnd;

  const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap.get()), kLastSpare);
  for (xkb_keycode_t keycode = std::max<xkb_keycode_t>(xkb_keymap_min_keycode(keymap.get()), 8);
       keycode <= last; ++keycode) {
    if (xkb_keymap_num_layouts_for_key(keymap.get(), keycode) != 0) continue;
    const char* name = xkb_keymap_key_get_name(keymap.get(), keycode);
    Spare spare{keycode, name != nullptr ? name : "", name != nullptr};
    if (!spare.named) {
      // A name of at most four characters that the base does not use.
      char made[8];
      std::snprintf(made, sizeof made, "T%u", keycode);
      if (xkb_keymap_key_by_name(keymap.get(), made) != XKB_KEYCODE_INVALID) continue;
      spare.name = made;
    }
    result.spares.push_back(std::move(spare));
  }
  result.bound.assign(result.spares.size(), XKB_KEY_NoSymbol);

  // The additions must compile; otherwise the keymap goes without spares.
  for (std::size_t slot = 0; slot < result.spares.size(); ++slot) result.bind(slot, XKB_KEY_a);
  std::string check = result.text();
  check.pop_back();
  if (!compile(context, check)) result.spares.clear();
  result.bound.assign(result.spares.size(), XKB_KEY_NoSymbol);
  return result;
}

std::string AgentKeymap::text() const {
  if (spares.empty()) return base + '\0';
  std::string keycodes;
  std::string symbols;
  char line[128];
  for (std::size_t slot = 0; slot < spares.size(); ++slot) {
    const Spare& spare = spares[slot];
    if (!spare.named) {
      std::snprintf(line, sizeof line, "\t<%s> = %u;\n", spare.name.c_str(), spare.keycode);
      keycodes += line;
    }
    if (bound[slot] == XKB_KEY_NoSymbol) continue;
    char keysym[64];
    if (xkb_keysym_get_name(bound[slot], keysym, sizeof keysym) <= 0) continue;
    std::snprintf(line, sizeof line, "\tkey <%s> { type= \"ONE_LEVEL\", [ %s ] };\n",
                  spare.name.c_str(), keysym);
    symbols += line;
  }
  std::string text;
  text.reserve(base.size() + keycodes.size() + symbols.size() + 1);
  text.append(base, 0, keycodesEnd);
  text += keycodes;
  text.append(base, keycodesEnd, symbolsEnd - keycodesEnd);
  text += symbols;
  text.append(base, symbolsEnd);
  text += '\0';
  return text;
}

xkb_keysym_t keysymToType(char32_t scalar) {
  if (scalar == U'\n' || scalar == U'\r') return XKB_KEY_Return;
  if (scalar == U'\t') return XKB_KEY_Tab;
  return xkb_utf32_to_keysym(scalar);
}
