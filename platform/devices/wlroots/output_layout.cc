// wlroots: global points to absolute motion over the output layout (see output_layout.h).
#include "platform/devices/wlroots/output_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool hasArea(const OutputRect& output) { return output.width > 0 && output.height > 0; }

std::int64_t clampTo(std::int64_t value, std::int64_t low, std::int64_t high) {
  return std::min(std::max(value, low), high);
}

}  // namespace

std::optional<Pixel> pixelOnOutputs(const std::vector<OutputRect>& outputs, CGPoint point) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
  // Far beyond any layout, but inside the 64-bit range, so that the distances below cannot
  // overflow.
  constexpr double kFar = 1e12;
  const Pixel pixel{static_cast<std::int64_t>(std::round(std::clamp(point.x, -kFar, kFar))),
                    static_cast<std::int64_t>(std::round(std::clamp(point.y, -kFar, kFar)))};
  std::optional<Pixel> best;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const OutputRect& output : outputs) {
    if (!hasArea(output)) continue;
    const Pixel onOutput{clampTo(pixel.x, output.x, std::int64_t{output.x} + output.width - 1),
                         clampTo(pixel.y, output.y, std::int64_t{output.y} + output.height - 1)};
    const double dx = static_cast<double>(onOutput.x - pixel.x);
    const double dy = static_cast<double>(onOutput.y - pixel.y);
    const double distance = dx * dx + dy * dy;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = onOutput;
    }
  }
  return best;
}

std::optional<AbsolutePosition> absolutePosition(const std::vector<OutputRect>& outputs,
                                                 CGPoint point) {
  const std::optional<Pixel> pixel = pixelOnOutputs(outputs, point);
  if (!pixel) return std::nullopt;
  std::int64_t left = std::numeric_limits<std::int64_t>::max();
  std::int64_t top = left;
  std::int64_t right = std::numeric_limits<std::int64_t>::min();
  std::int64_t bottom = right;
  for (const OutputRect& output : outputs) {
    if (!hasArea(output)) continue;
    left = std::min<std::int64_t>(left, output.x);
    top = std::min<std::int64_t>(top, output.y);
    right = std::max<std::int64_t>(right, std::int64_t{output.x} + output.width);
    bottom = std::max<std::int64_t>(bottom, std::int64_t{output.y} + output.height);
  }
  const std::int64_t width = right - left;
  const std::int64_t height = bottom - top;
  constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
  if (width > kMax || height > kMax) return std::nullopt;
  // As fine as the 32-bit extents allow, up to kSubpixel steps a pixel.
  const std::int64_t scale = std::clamp<std::int64_t>(kMax / std::max(width, height), 1, kSubpixel);
  const std::int64_t offset = scale > 1 ? 1 : 0;
  return AbsolutePosition{static_cast<std::uint32_t>((pixel->x - left) * scale + offset),
                          static_cast<std::uint32_t>((pixel->y - top) * scale + offset),
                          static_cast<std::uint32_t>(width * scale),
                          static_cast<std::uint32_t>(height * scale)};
}
