// Windows: absolute mouse positions (see absolute_position.h).
#include "platform/devices/windows/absolute_position.h"

#include <algorithm>
#include <cmath>

#include "injector/round_half_away.h"

std::int32_t normalisedPosition(std::int64_t pixel, DesktopAxis axis) {
  if (axis.size <= 0) return 0;
  const std::int64_t k = std::clamp<std::int64_t>(pixel - axis.origin, 0, axis.size - 1);
  const std::int64_t value = (2 * k + 1) * 32768 / axis.size;
  return static_cast<std::int32_t>(std::min<std::int64_t>(value, 65535));
}

std::int64_t pixelOfNormalised(std::int32_t value, DesktopAxis axis) {
  return axis.origin + static_cast<std::int64_t>(value) * axis.size / 65536;
}

std::int64_t nearestPixel(double coordinate, DesktopAxis axis) {
  const double last = axis.origin + std::max(axis.size - 1, 0);
  return static_cast<std::int64_t>(
      roundHalfAway(std::clamp(coordinate, double(axis.origin), last)));
}
