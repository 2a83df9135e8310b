#include "platform/devices/windows/absolute_position.h"

#include <gtest/gtest.h>

namespace {

// Every pixel of axes of common and awkward sizes, at the origin and left of or above the
// primary monitor: the value given for it lands on it, and stays in SendInput's range.
TEST(AbsolutePosition, EveryPixelOfAnAxisIsReachedExactly) {
  const DesktopAxis axes[] = {
      {0, 1280},     {0, 1024}, {0, 1920},     {0, 1080}, {0, 1366}, {0, 768},   {-1920, 3840},
      {-1080, 2160}, {0, 4480}, {-2560, 7680}, {1280, 1}, {0, 3},    {0, 32768},
  };
  for (const DesktopAxis axis : axes) {
    for (std::int64_t pixel = axis.origin; pixel < axis.origin + axis.size; ++pixel) {
      const std::int32_t value = normalisedPosition(pixel, axis);
      ASSERT_GE(value, 0);
      ASSERT_LE(value, 65535);
      ASSERT_EQ(pixelOfNormalised(value, axis), pixel)
          << "axis from " << axis.origin << ", " << axis.size << " pixels";
    }
  }
}

TEST(AbsolutePosition, CoordinatesGoToTheNearestPixelOnTheAxis) {
  const DesktopAxis axis{-1920, 3840};
  const struct {
    double coordinate;
    std::int64_t pixel;
  } cases[] = {
      {0, 0},         {0.49999999999999994, 0}, {0.5, 1},       {-0.5, -1},    {-1920.4, -1920},
      {-5000, -1920}, {1919.4, 1919},           {1919.6, 1919}, {1e300, 1919}, {-1e300, -1920},
  };
  for (const auto& c : cases) EXPECT_EQ(nearestPixel(c.coordinate, axis), c.pixel) << c.coordinate;
  // Outside the axis a pixel is its first or last one; an empty axis gives 0.
  EXPECT_EQ(normalisedPosition(-3000, axis), normalisedPosition(-1920, axis));
  EXPECT_EQ(normalisedPosition(5000, axis), normalisedPosition(1919, axis));
  EXPECT_EQ(normalisedPosition(7, DesktopAxis{}), 0);
}

}  // namespace
