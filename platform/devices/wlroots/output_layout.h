// wlroots: where a point in global desktop coordinates goes in the virtual pointer's absolute
// motion, which takes unsigned whole numbers over the bounding box of all outputs.
//
// The point is rounded to the nearest whole pixel; a pixel on no output goes to the nearest
// pixel of the nearest output, so the pointer never lands in a gap of the layout. Outputs may lie
// at negative positions. The numbers are scaled by up to kSubpixel so that the compositor's
// division puts the pointer a fraction of a pixel past the pixel's edge, never just before it
// (which rounding in floating point could otherwise do, and which would hit the neighbouring
// pixel or output).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/events.h"

// An output's logical rectangle in global coordinates; outputs with no area are ignored.
struct OutputRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The arguments of motion_absolute: x of xExtent and y of yExtent over the layout's box.
struct AbsolutePosition {
  std::uint32_t x;
  std::uint32_t y;
  std::uint32_t xExtent;
  std::uint32_t yExtent;
};

inline constexpr std::uint32_t kSubpixel = 1024;

// The whole pixel a point goes to: rounded, and moved onto the nearest output. None without an
// output or for a point that is not finite.
struct Pixel {
  std::int64_t x;
  std::int64_t y;
};
std::optional<Pixel> pixelOnOutputs(const std::vector<OutputRect>& outputs, CGPoint point);

// The motion_absolute arguments that put the pointer on that pixel; none without an output.
std::optional<AbsolutePosition> absolutePosition(const std::vector<OutputRect>& outputs,
                                                 CGPoint point);
