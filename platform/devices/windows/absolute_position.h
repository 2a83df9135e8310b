// Windows: the absolute mouse position SendInput takes (MOUSEEVENTF_ABSOLUTE |
// MOUSEEVENTF_VIRTUALDESK), a value from 0 to 65535 along each axis of the virtual desktop, for
// a pixel of it. No Windows call: the arithmetic alone, built and tested everywhere.
//
// Windows places a normalised value n at origin + floor(n * size / 65536) along an axis of
// `size` pixels that starts at `origin` (measured under Wine; the origin is negative when a
// monitor lies left of or above the primary one). The value given for a pixel is the middle of
// the values that land on it, floor((2k + 1) * 32768 / size) for the k-th pixel, so it lands
// there exactly, and still does if a system rounded a little differently. The often-quoted
// k * 65535 / (size - 1) misses pixels (10 of a 1280-pixel row). Pixels outside the axis are
// clamped to its first or last; an empty axis gives 0.
#pragma once

#include <cstdint>

struct DesktopAxis {
  std::int32_t origin = 0;
  std::int32_t size = 0;  // at most 32768 pixels
};

// The normalised value that lands on `pixel`.
std::int32_t normalisedPosition(std::int64_t pixel, DesktopAxis axis);
// Where Windows places a normalised value: the inverse the value above is made for.
std::int64_t pixelOfNormalised(std::int32_t value, DesktopAxis axis);
// A coordinate of the agent's to the nearest whole pixel, clamped to the axis.
std::int64_t nearestPixel(double coordinate, DesktopAxis axis);
