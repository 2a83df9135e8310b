#include "command/fast_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace std::string_literals;

TEST(FastPathNumber, AcceptsWhatStrtodReadsInFull) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    std::string field;
    double value;
  } cases[] = {
      {"640", 640},      {"-3.5", -3.5},
      {".5", 0.5},       {"1e3", 1000},
      {"+1e2", 100},     {"-0.5", -0.5},
      {"0x10", 16},      {"0X1p-2", 0.25},
      {"inf", inf},      {"-INF", -inf},
      {"Infinity", inf}, {"5.", 5},
      {"1e-999", 0},     {"00012", 12},
      {"-0", -0.0},      {"17976931348623157" + std::string(292, '0'), 1.7976931348623157e308},
  };
  for (const auto& c : cases) {
    const auto value = parseFastPathNumber(c.field);
    ASSERT_TRUE(value.has_value()) << c.field;
    EXPECT_EQ(*value, c.value) << c.field;
    EXPECT_EQ(std::signbit(*value), std::signbit(c.value)) << c.field;
  }
  for (const char* nan : {"nan", "NaN", "-nan", "nan(123)"}) {
    const auto value = parseFastPathNumber(nan);
    ASSERT_TRUE(value.has_value()) << nan;
    EXPECT_TRUE(std::isnan(*value)) << nan;
  }
}

TEST(FastPathNumber, RejectsEverythingElse) {
  for (const std::string& field : {""s,
                                   "abc"s,
                                   "12a"s,
                                   "1e"s,
                                   "0x"s,
                                   "\t5"s,
                                   "\v5"s,
                                   "\r5"s,
                                   "5\t"s,
                                   "5\r"s,
                                   "1\0"s,
                                   "\0"s,
                                   "18"s + std::string(307, '0'),
                                   "1,5"s,
                                   "--1"s,
                                   "+-1"s,
                                   "infx"s,
                                   "nan("s,
                                   "1e999"s,
                                   "-1e999"s,
                                   "0x1p99999"s,
                                   "١"s /* non-ASCII digit */}) {
    EXPECT_FALSE(parseFastPathNumber(field).has_value()) << field;
  }
}

TEST(FastPathLine, SplitsAtSpacesOnly) {
  const struct {
    std::string line;
    bool used;
    double first, second;
  } cases[] = {
      {"M 100 200", true, 100, 200}, {"M   100    200   ", true, 100, 200},
      {"W 0 120", true, 0, 120},     {"M 100", false, 0, 0},
      {"M ", false, 0, 0},           {"M 1 2 3", false, 0, 0},
      {"M 1\t2", false, 0, 0},       {"M \t1 2", false, 0, 0},
      {"M 1 2\t", false, 0, 0},      {"M 1 two", false, 0, 0},
  };
  for (const auto& c : cases) {
    const auto numbers = parseFastPathLine(c.line);
    ASSERT_EQ(numbers.has_value(), c.used) << c.line;
    if (!c.used) continue;
    EXPECT_EQ(numbers->first, c.first) << c.line;
    EXPECT_EQ(numbers->second, c.second) << c.line;
  }
}

}  // namespace
