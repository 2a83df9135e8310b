// The key table: its lookups agree with it, names match whole and exactly, and the keys whose
// numbers are easy to confuse land right in every column (on Linux, against the kernel's own
// KEY_* numbers).
#include "keys/key_table.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <linux/input-event-codes.h>
#endif

namespace {

TEST(KeyTable, LookupsAgreeWithTheTable) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    EXPECT_EQ(macVirtualKeyCode(key.name), key.virtualKey) << key.name;
    EXPECT_EQ(findKeyNamed(key.name), &key) << key.name;
    EXPECT_EQ(findPhysicalKey(key.virtualKey), &key) << key.name;
    EXPECT_EQ(findLinuxKey(key.linuxCode), &key) << key.name;
  }
  EXPECT_EQ(findPhysicalKey(10), nullptr);
  EXPECT_EQ(findPhysicalKey(52), nullptr);
  EXPECT_EQ(findPhysicalKey(127), nullptr);
  static_assert(keyNamed("ShiftLeft").virtualKey == 56);
}

TEST(KeyTable, VirtualKeysOfConfusableNames) {
  const struct {
    const char* name;
    std::uint16_t code;
  } rows[] = {{"KeyA", 0},       {"Digit5", 23},      {"Digit6", 22},   {"F4", 118},
              {"Backspace", 51}, {"Delete", 117},     {"MetaLeft", 55}, {"MetaRight", 54},
              {"Enter", 36},     {"NumpadEnter", 76}, {"ArrowUp", 126}, {"KeyB", 11}};
  for (const auto& row : rows) EXPECT_EQ(macVirtualKeyCode(row.name), row.code) << row.name;
}

TEST(KeyTable, OtherNamesHaveNoCode) {
  for (const char* name :
       {"", "keya", "KEYA", " KeyA", "KeyA ", "Key", "KeyAA", "F13", "Insert", "NumLock", "Fn",
        "IntlBackslash", "NumpadEqual", "AudioVolumeUp", "ArrowUp\n", "Arrow", "Z"}) {
    EXPECT_FALSE(macVirtualKeyCode(name).has_value()) << '"' << name << '"';
  }
}

#if defined(__linux__)
TEST(KeyTable, SpotRows) {
  const PhysicalKey rows[] = {
      {"KeyA", 0, KEY_A, "AC01", 0x001E, 0x41},
      {"Digit6", 22, KEY_6, "AE06", 0x0007, 0x36},
      {"Digit5", 23, KEY_5, "AE05", 0x0006, 0x35},
      {"Enter", 36, KEY_ENTER, "RTRN", 0x001C, 0x0D},
      {"NumpadEnter", 76, KEY_KPENTER, "KPEN", 0xE01C, 0x0D},
      {"Backspace", 51, KEY_BACKSPACE, "BKSP", 0x000E, 0x08},
      {"Delete", 117, KEY_DELETE, "DELE", 0xE053, 0x2E},
      {"MetaLeft", 55, KEY_LEFTMETA, "LWIN", 0xE05B, 0x5B},
      {"MetaRight", 54, KEY_RIGHTMETA, "RWIN", 0xE05C, 0x5C},
      {"AltLeft", 58, KEY_LEFTALT, "LALT", 0x0038, 0xA4},
      {"Backquote", 50, KEY_GRAVE, "TLDE", 0x0029, 0xC0},
      {"F1", 122, KEY_F1, "FK01", 0x003B, 0x70},
      {"F11", 103, KEY_F11, "FK11", 0x0057, 0x7A},
      {"F4", 118, KEY_F4, "FK04", 0x003E, 0x73},
      {"ArrowUp", 126, KEY_UP, "UP", 0xE048, 0x26},
      {"NumpadDecimal", 65, KEY_KPDOT, "KPDL", 0x0053, 0x6E},
  };
  for (const PhysicalKey& expected : rows) {
    const PhysicalKey* key = findPhysicalKey(expected.virtualKey);
    ASSERT_NE(key, nullptr) << expected.name;
    EXPECT_EQ(key->name, expected.name) << expected.name;
    EXPECT_EQ(key->linuxCode, expected.linuxCode) << expected.name;
    EXPECT_EQ(key->xkbName, expected.xkbName) << expected.name;
    EXPECT_EQ(key->windowsScanCode, expected.windowsScanCode) << expected.name;
    EXPECT_EQ(key->windowsVirtualKey, expected.windowsVirtualKey) << expected.name;
  }
}
#endif

}  // namespace
