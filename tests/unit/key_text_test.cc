#include "keys/key_text.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyText, OneCharacterIsOneGraphemeCluster) {
  const struct {
    const char* text;
    bool single;
  } cases[] = {
      {"a", true},
      {"\xC3\xA9", true},                          // é precomposed
      {"e\xCC\x81", true},                         // e + combining acute
      {"e\xCC\x81\xCC\xA3\xCC\x88", true},         // e + three combining marks
      {"\xF0\x9F\x98\x80", true},                  // 😀
      {"\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", true},  // 🇫🇷: two regional indicators
      {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", true},  // 👍🏽: emoji + skin tone
      {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", true},  // ZWJ
      {"\r\n", true},                                  // CR LF is one cluster
      {"\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8", true},  // Hangul L V T jamo: one syllable
      {"\xEA\xB0\x81", true},                          // 각 precomposed
      {"", false},
      {"ab", false},
      {"Enter", false},
      {"\n\r", false},
      {"\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xF0\x9F\x87\xA9", false},  // a flag and one more RI
      {"\xC3\xA9\xC3\xA9", false},
      {"\xCC\x81", true},  // a lone combining mark is one cluster
  };
  for (const auto& c : cases) EXPECT_EQ(isSingleCharacter(c.text), c.single) << c.text;
}

TEST(KeyText, FirstScalarAndUtf16Form) {
  EXPECT_EQ(firstScalar("e\xCC\x81"), 'e');
  EXPECT_EQ(firstScalar("\xC3\xA9"), 0xE9);
  EXPECT_EQ(toUtf16("e\xCC\x81"), (std::vector<std::uint16_t>{0x65, 0x301}));
  EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80"), (std::vector<std::uint16_t>{0xD83D, 0xDE00}));
  EXPECT_EQ(toUtf16("\xF4\x8F\xBF\xBF"), (std::vector<std::uint16_t>{0xDBFF, 0xDFFF}));
  EXPECT_EQ(toUtf16("\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"),
            (std::vector<std::uint16_t>{0xD83C, 0xDDEB, 0xD83C, 0xDDF7}));
  EXPECT_EQ(toUtf16(std::string_view("\0", 1)), (std::vector<std::uint16_t>{0}));
}

}  // namespace
