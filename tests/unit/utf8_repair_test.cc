#include "command/utf8_repair.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

const std::string R = "\xEF\xBF\xBD";  // U+FFFD

TEST(Utf8Repair, ValidTextPassesWithoutACopy) {
  for (const std::string& text : {""s, "{\"cmd\":\"move\",\"x\":1}"s, "a\0b"s,
                                  "\x7F"s,                      // last ASCII
                                  "\xC2\x80\xDF\xBF"s,          // first and last 2-byte
                                  "\xE0\xA0\x80\xED\x9F\xBF"s,  // U+0800, U+D7FF
                                  "\xEE\x80\x80\xEF\xBF\xBF"s,  // U+E000, U+FFFF
                                  "\xEF\xBB\xBF"s,              // a byte order mark is valid
                                  "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"s,  // U+10000, U+10FFFF
                                  std::string(37, 'a') + "\xC3\xA9" + std::string(9, 'b')}) {
    std::string storage = "untouched";
    const std::string_view out = repairUtf8(text, storage);
    EXPECT_EQ(out.data(), text.data());
    EXPECT_EQ(out.size(), text.size());
    EXPECT_EQ(storage, "untouched");
  }
}

TEST(Utf8Repair, OneReplacementPerMaximalIllFormedSubsequence) {
  const struct {
    std::string in, out;
  } cases[] = {
      // A sequence that breaks off: one U+FFFD for what was read, the next byte starts afresh.
      {"\xE2\x82"s + "A", R + "A"},
      {"\xE2\x82", R},
      {"\xF0\x9F\x98", R},
      {"\xF0\x9F\x98" + "\xC3\xA9"s, R + "\xC3\xA9"},
      {"\xC3", R},
      {"\xC3" + "\x7F"s, R + "\x7F"},
      {"\xC3\xC3\xA9", R + "\xC3\xA9"},
      // Bytes that start nothing: one each.
      {"\x80", R},
      {"\xBF\x80", R + R},
      {"\xC0\xAF", R + R},  // overlong '/'
      {"\xC1\xBF", R + R},
      {"\xF5\x80\x80\x80", R + R + R + R},
      {"\xFF\xFE", R + R},
      // Second-byte ranges of the special leads, with the last valid value beside them.
      {"\xE0\x9F\xBF", R + R + R},  // overlong U+07FF
      {"\xE0\xA0\x80", "\xE0\xA0\x80"},
      {"\xED\xA0\x80", R + R + R},  // surrogate U+D800
      {"\xED\xBF\xBF", R + R + R},  // surrogate U+DFFF
      {"\xED\x9F\xBF", "\xED\x9F\xBF"},
      {"\xF0\x8F\xBF\xBF", R + R + R + R},  // overlong U+FFFF
      {"\xF4\x90\x80\x80", R + R + R + R},  // U+110000
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      // Well-formed start, bad third or fourth byte.
      {"\xF4\x8F\xBF" + "A"s, R + "A"},
      {"\xE1\x80\xC0", R + R},
      // Repair inside a longer line keeps everything around it, NUL included.
      {"{\"key\":\"a\xE9z\"}", "{\"key\":\"a" + R + "z\"}"},
      {"12345678\xFF" + "\0x"s, "12345678" + R + "\0x"s},
      {"\xC3\xA9\xFF\xC3\xA9", "\xC3\xA9" + R + "\xC3\xA9"},
  };
  for (const auto& c : cases) {
    std::string storage;
    EXPECT_EQ(repairUtf8(c.in, storage), c.out) << testing::PrintToString(c.in);
  }
}

}  // namespace
