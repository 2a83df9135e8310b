// Grapheme cluster boundaries come from utf8proc (Unicode's segmentation rules and data);
// decoding UTF-8 scalars uses its iterator too.
#include "keys/key_text.h"

#include <utf8proc.h>

namespace {

// Decodes the scalar at the front of the text; advances past it. Returns -1 on bytes that are
// not UTF-8, which valid input never has.
std::int32_t takeScalar(std::string_view& text) {
  utf8proc_int32_t scalar = -1;
  const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                       static_cast<utf8proc_ssize_t>(text.size()), &scalar);
  if (length <= 0) {
    text = {};
    return -1;
  }
  text.remove_prefix(static_cast<std::size_t>(length));
  return scalar;
}

}  // namespace

bool isSingleCharacter(std::string_view text) {
  if (text.empty()) return false;
  utf8proc_int32_t state = 0;
  std::int32_t previous = takeScalar(text);
  while (!text.empty()) {
    const std::int32_t next = takeScalar(text);
    if (previous < 0 || next < 0) return false;
    if (utf8proc_grapheme_break_stateful(previous, next, &state)) return false;
    previous = next;
  }
  return previous >= 0;
}

std::int32_t firstScalar(std::string_view text) {
  if (text.empty()) return 0;
  return takeScalar(text);
}

std::vector<std::uint16_t> toUtf16(std::string_view text) {
  std::vector<std::uint16_t> units;
  units.reserve(text.size());
  while (!text.empty()) {
    const std::int32_t scalar = takeScalar(text);
    if (scalar < 0) break;
    if (scalar < 0x10000) {
      units.push_back(static_cast<std::uint16_t>(scalar));
    } else {
      const std::int32_t offset = scalar - 0x10000;
      units.push_back(static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
      units.push_back(static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  return units;
}
