// Rounding to the nearest whole number, halves away from zero, exact for every double: what
// std::round promises, written out because the C runtime MinGW-w64 links rounds as floor(x + 0.5)
// does, which takes 0.49999999999999994 to 1.
#pragma once

#include <cmath>

inline double roundHalfAway(double value) {
  const double whole = std::trunc(value);  // exact, as is value - whole
  return std::fabs(value - whole) >= 0.5 ? whole + std::copysign(1.0, value) : whole;
}
