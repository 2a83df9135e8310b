// UTF-8 encoding and decoding of code points, for the canvas's text handling. An invalid or
// truncated byte sequence decodes as U+FFFD, one per byte, so any input can be drawn.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

inline std::vector<char32_t> decodeUtf8(std::string_view s) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t len = b < 0x80         ? 1
                            : (b >> 5) == 6  ? 2
                            : (b >> 4) == 14 ? 3
                            : (b >> 3) == 30 ? 4
                                             : 0;
    char32_t c = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
    bool valid = len > 0 && i + len <= s.size();
    for (std::size_t k = 1; valid && k < len; ++k) {
      const auto cont = static_cast<unsigned char>(s[i + k]);
      if ((cont & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (cont & 0x3F);
    }
    if (!valid || c > 0x10FFFF) {
      out.push_back(0xFFFD);
      ++i;
    } else {
      out.push_back(c);
      i += len;
    }
  }
  return out;
}
