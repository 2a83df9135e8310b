// The key table: its name lookup and its lookup by virtual key agree with it, and the keys whose
// numbers are easy to confuse land right in every column (on Linux, against the kernel's own
// KEY_* numbers).
#include "keys/key_table.h"

#include <gtest/gtest.h>

#include "keys/key_codes.h"

#if defined(__linux__)
#include <linux/input-event-codes.h>
#endif

namespace {

TEST(KeyTable, LookupsAgreeWithTheTable) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    EXPECT_EQ(macVirtualKeyCode(key.name), key.virtualKey) << key.name;
    EXPECT_EQ(findPhysicalKey(key.virtualKey), &key) << key.name;
  }
  EXPECT_EQ(kPhysicalKeys.size(), kKeyCodeTable.size());
  EXPECT_EQ(findPhysicalKey(10), nullptr);
  EXPECT_EQ(findPhysicalKey(52), nullptr);
  EXPECT_EQ(findPhysicalKey(127), nullptr);
}

#if defined(__linux__)
TEST(KeyTable, SpotRows) {
  const PhysicalKey rows[] = {
      {"KeyA", 0, KEY_A, "AC01"},
      {"Digit6", 22, KEY_6, "AE06"},
      {"Digit5", 23, KEY_5, "AE05"},
      {"Enter", 36, KEY_ENTER, "RTRN"},
      {"NumpadEnter", 76, KEY_KPENTER, "KPEN"},
      {"Backspace", 51, KEY_BACKSPACE, "BKSP"},
      {"Delete", 117, KEY_DELETE, "DELE"},
      {"MetaLeft", 55, KEY_LEFTMETA, "LWIN"},
      {"MetaRight", 54, KEY_RIGHTMETA, "RWIN"},
      {"AltLeft", 58, KEY_LEFTALT, "LALT"},
      {"Backquote", 50, KEY_GRAVE, "TLDE"},
      {"F1", 122, KEY_F1, "FK01"},
      {"F11", 103, KEY_F11, "FK11"},
      {"F4", 118, KEY_F4, "FK04"},
      {"ArrowUp", 126, KEY_UP, "UP"},
      {"NumpadDecimal", 65, KEY_KPDOT, "KPDL"},
  };
  for (const PhysicalKey& expected : rows) {
    const PhysicalKey* key = findPhysicalKey(expected.virtualKey);
    ASSERT_NE(key, nullptr) << expected.name;
    EXPECT_EQ(key->name, expected.name) << expected.name;
    EXPECT_EQ(key->linuxCode, expected.linuxCode) << expected.name;
    EXPECT_EQ(key->xkbName, expected.xkbName) << expected.name;
  }
}
#endif

}  // namespace
