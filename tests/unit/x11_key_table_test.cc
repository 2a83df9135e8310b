// The X11 physical key table against the key code table: every virtual key a key command can
// name has a physical key, and the keys whose numbers are easy to confuse land right.
#if defined(__linux__)

#include <gtest/gtest.h>

#include "keys/key_codes.h"
#include "platform/x11/key_table.h"

namespace {

TEST(X11KeyTable, EveryNamedKeyHasAPhysicalKey) {
  for (const KeyCodeRow& row : kKeyCodeTable) {
    EXPECT_NE(findPhysicalKey(row.code), nullptr) << row.name;
  }
  EXPECT_EQ(kPhysicalKeys.size(), kKeyCodeTable.size());
  EXPECT_EQ(findPhysicalKey(10), nullptr);
  EXPECT_EQ(findPhysicalKey(52), nullptr);
  EXPECT_EQ(findPhysicalKey(127), nullptr);
}

TEST(X11KeyTable, SpotRows) {
  const PhysicalKey rows[] = {
      {0, KEY_A, "AC01"},        {22, KEY_6, "AE06"},        {23, KEY_5, "AE05"},
      {36, KEY_ENTER, "RTRN"},   {76, KEY_KPENTER, "KPEN"},  {51, KEY_BACKSPACE, "BKSP"},
      {117, KEY_DELETE, "DELE"}, {55, KEY_LEFTMETA, "LWIN"}, {54, KEY_RIGHTMETA, "RWIN"},
      {58, KEY_LEFTALT, "LALT"}, {50, KEY_GRAVE, "TLDE"},    {122, KEY_F1, "FK01"},
      {103, KEY_F11, "FK11"},    {118, KEY_F4, "FK04"},      {126, KEY_UP, "UP"},
  };
  for (const PhysicalKey& expected : rows) {
    const PhysicalKey* key = findPhysicalKey(expected.virtualKey);
    ASSERT_NE(key, nullptr) << expected.virtualKey;
    EXPECT_EQ(key->linuxCode, expected.linuxCode) << expected.virtualKey;
    EXPECT_EQ(key->xkbName, expected.xkbName) << expected.virtualKey;
  }
}

}  // namespace

#endif
