#include <gtest/gtest.h>

#include <limits>

#include "injector/input_injector.h"

namespace {

TEST(WheelValue, NegatesAndRoundsHalvesAwayFromZero) {
  const struct {
    double delta;
    std::int32_t wheel;
  } cases[] = {
      {120, -120},
      {0, 0},
      {-0.0, 0},
      {2.5, -3},
      {-2.5, 3},
      {0.4, 0},
      {-0.4, 0},
      {1.5, -2},
      {-0.5, 1},
      {0.49999999999999994, 0},
      {2147483648.0, -2147483647 - 1},
      {-2147483647.0, 2147483647},
      {-2147483647.4, 2147483647},
      {2147483648.4, -2147483647 - 1},
  };
  for (const auto& c : cases) {
    const auto wheel = wheelValue(c.delta);
    ASSERT_TRUE(wheel.has_value()) << c.delta;
    EXPECT_EQ(*wheel, c.wheel) << c.delta;
  }
}

TEST(WheelValue, NoValueOutsideThe32BitRangeOrWhenNotFinite) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double delta : {-2147483648.0, -2147483647.5, 2147483648.5, 1e300, -1e300, inf, -inf,
                       std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(wheelValue(delta).has_value()) << delta;
  }
}

}  // namespace
