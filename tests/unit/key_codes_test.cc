#include "keys/key_codes.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyCodeTable, EveryRowLooksUpToItsOwnCodeInCodeOrder) {
  for (std::size_t i = 0; i < kKeyCodeTable.size(); ++i) {
    const KeyCodeRow& row = kKeyCodeTable[i];
    EXPECT_EQ(macVirtualKeyCode(row.name), row.code) << row.name;
    if (i > 0) {
      EXPECT_LT(kKeyCodeTable[i - 1].code, row.code) << row.name;
    }
    EXPECT_GE(row.name.size(), 2u);
    EXPECT_LE(row.name.size(), 14u);
  }
}

TEST(KeyCodeTable, SpotRows) {
  const struct {
    const char* name;
    std::uint16_t code;
  } rows[] = {{"KeyA", 0},       {"Digit5", 23},      {"Digit6", 22},   {"F4", 118},
              {"Backspace", 51}, {"Delete", 117},     {"MetaLeft", 55}, {"MetaRight", 54},
              {"Enter", 36},     {"NumpadEnter", 76}, {"ArrowUp", 126}, {"KeyB", 11}};
  for (const auto& row : rows) EXPECT_EQ(macVirtualKeyCode(row.name), row.code) << row.name;
}

TEST(KeyCodeTable, OtherNamesHaveNoCode) {
  for (const char* name :
       {"", "keya", "KEYA", " KeyA", "KeyA ", "Key", "KeyAA", "F13", "Insert", "NumLock", "Fn",
        "IntlBackslash", "NumpadEqual", "AudioVolumeUp", "ArrowUp\n", "Arrow", "Z"}) {
    EXPECT_FALSE(macVirtualKeyCode(name).has_value()) << '"' << name << '"';
  }
}

}  // namespace
