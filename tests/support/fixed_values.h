// Comparing the receiver's lines whose numbers went through Wayland's fixed-point type
// (wl_fixed_t, 24.8 bits: steps of 1/256 of a pixel), within a stated precision rather than as
// the digits that one compositor version prints. Words that are not numbers compare exactly.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// One step of wl_fixed_t: the finest difference a Wayland motion or scroll value can carry.
constexpr double kFixedStep = 1.0 / 256;

// Whether a number seen by the receiver stands for the one expected.
using SameNumber = std::function<bool(double seen, double expected)>;

// Numbers within `steps` steps of wl_fixed_t of each other.
inline SameNumber withinFixedSteps(int steps) {
  return [steps](double seen, double expected) {
    return std::abs(seen - expected) <= steps * kFixedStep;
  };
}

// Whether `seen` is `expected` word by word, the words that are both numbers compared by `same`.
inline bool sameLine(const std::string& seen, const std::string& expected, const SameNumber& same) {
  std::istringstream a(seen);
  std::istringstream b(expected);
  std::string x;
  std::string y;
  while (true) {
    const bool moreA = static_cast<bool>(a >> x);
    const bool moreB = static_cast<bool>(b >> y);
    if (!moreA || !moreB) return moreA == moreB;
    if (x == y) continue;
    char* endX = nullptr;
    char* endY = nullptr;
    const double nx = std::strtod(x.c_str(), &endX);
    const double ny = std::strtod(y.c_str(), &endY);
    if (*endX != '\0' || *endY != '\0' || endX == x.c_str() || endY == y.c_str()) return false;
    if (!same(nx, ny)) return false;
  }
}

// The lines, in order, each the expected one as sameLine compares them; on failure both lists.
inline ::testing::AssertionResult sameLines(const std::vector<std::string>& seen,
                                            const std::vector<std::string>& expected,
                                            const SameNumber& same) {
  bool ok = seen.size() == expected.size();
  for (std::size_t i = 0; ok && i < seen.size(); ++i) ok = sameLine(seen[i], expected[i], same);
  if (ok) return ::testing::AssertionSuccess();
  std::string text = "seen:";
  for (const std::string& line : seen) text += "\n  " + line;
  text += "\nexpected:";
  for (const std::string& line : expected) text += "\n  " + line;
  return ::testing::AssertionFailure() << text;
}
