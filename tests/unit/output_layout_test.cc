// wlroots: where a point goes in absolute motion over the output layout. The compositor divides
// x by xExtent and multiplies by the layout's width; the pointer must land inside the chosen
// pixel, a fraction past its edge, whatever the layout's size.
#if defined(__linux__)

#include "platform/devices/wlroots/output_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Where the compositor puts the pointer for these arguments, on one axis.
double layoutCoordinate(std::uint32_t value, std::uint32_t extent, double origin, double size) {
  return origin + size * (static_cast<double>(value) / extent);
}

TEST(OutputLayout, PixelsLandJustInsideThemselves) {
  const std::vector<OutputRect> outputs = {{0, 0, 1280, 800}, {-1024, -100, 1024, 768}};
  // The layout's box: x from -1024, 2304 wide; y from -100, 900 high.
  for (int x = -1024; x < 1280; x += 7) {
    const auto position = absolutePosition(outputs, CGPoint{static_cast<double>(x), 0});
    ASSERT_TRUE(position) << x;
    const double lx = layoutCoordinate(position->x, position->xExtent, -1024, 2304);
    EXPECT_EQ(std::floor(lx), x) << x;
    EXPECT_LT(lx - x, 1.0 / 256) << x;  // reported to windows as the whole pixel
  }
}

TEST(OutputLayout, PointsOffTheOutputsGoToTheNearestPixelOfTheNearestOutput) {
  const std::vector<OutputRect> outputs = {{0, 0, 1280, 800}, {-1024, -100, 1024, 768}};
  const struct {
    CGPoint point;
    std::int64_t x, y;
  } cases[] = {
      {{640.4, 360.6}, 640, 361},  {{-0.6, 10}, -1, 10},          {{-500, 700}, -500, 667},
      {{0, -50}, -1, -50},         {{5000, -40}, 1279, 0},        {{-1e300, -1e300}, -1024, -100},
      {{1e300, 1e300}, 1279, 799}, {{1279.5, 799.49}, 1279, 799},
  };
  for (const auto& c : cases) {
    const auto pixel = pixelOnOutputs(outputs, c.point);
    ASSERT_TRUE(pixel) << c.point.x << "," << c.point.y;
    EXPECT_EQ(pixel->x, c.x) << c.point.x << "," << c.point.y;
    EXPECT_EQ(pixel->y, c.y) << c.point.x << "," << c.point.y;
  }
}

TEST(OutputLayout, NoPositionWithoutOutputsOrForPointsThatAreNotFinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(absolutePosition({}, CGPoint{1, 1}));
  EXPECT_FALSE(absolutePosition({{0, 0, 0, 0}}, CGPoint{1, 1}));  // an output with no area
  EXPECT_FALSE(absolutePosition({{0, 0, 100, 100}}, CGPoint{nan, 1}));
  EXPECT_FALSE(absolutePosition({{0, 0, 100, 100}}, CGPoint{1, inf}));
}

TEST(OutputLayout, LayoutsTooWideForFinerStepsStillReachEveryPixel) {
  // 5,000,000 pixels wide: more than 32 bits hold at 1,024 steps a pixel.
  const std::vector<OutputRect> outputs = {{0, 0, 5000000, 1000}};
  for (const double x : {0.0, 1.0, 2499999.0, 4999999.0}) {
    const auto position = absolutePosition(outputs, CGPoint{x, 0});
    ASSERT_TRUE(position) << x;
    EXPECT_EQ(std::floor(layoutCoordinate(position->x, position->xExtent, 0, 5000000) + 1e-6), x);
  }
}

}  // namespace

#endif
