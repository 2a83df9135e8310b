// HeldInputs: what the Linux routes release when the agent ends.
#include "platform/linux/held_inputs.h"

#include <gtest/gtest.h>

namespace {

TEST(HeldInputs, KeepsWhatIsDownInTheOrderOfThePresses) {
  HeldInputs held;
  held.key(56, true);  // Shift
  held.key(6, true);   // Z
  held.key(0, true);   // A
  held.key(6, false);
  held.key(56, true);   // a second press moves it to the end
  held.key(12, false);  // a release of a key not held changes nothing
  EXPECT_EQ(held.keys(), (std::vector<CGKeyCode>{0, 56}));
  EXPECT_TRUE(held.holdsKey(56));
  EXPECT_FALSE(held.holdsKey(6));

  held.button(kCGMouseButtonRight, true);
  held.button(kCGMouseButtonLeft, true);
  held.button(kCGMouseButtonRight, false);
  EXPECT_EQ(held.buttons(), (std::vector<CGMouseButton>{kCGMouseButtonLeft}));
}

}  // namespace
