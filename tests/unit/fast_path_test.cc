#include "command/fast_path.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

std::uint64_t bitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The decimal forms go through a reader of their own before strtod is asked; whatever it reads
// must be strtod's correctly rounded value to the last bit, and an overflow must still drop the
// field. Rounding boundaries, subnormals and the edges of the range, then random decimals of up
// to 25 digits with exponents across the whole range.
TEST(FastPathNumber, DecimalsGiveStrtodsValueToTheBit) {
  std::vector<std::string> fields = {
      "0.1",
      "9007199254740993",
      "9007199254740992.5000000000000000001",
      "2.2250738585072011e-308",
      "2.2250738585072014e-308",
      "4.9406564584124654e-324",
      "2.4703282292062327e-324",
      "2.4703282292062328e-324",
      "1.7976931348623157e308",
      "1.7976931348623158e308",
      "1.7976931348623159e308",
      "7.2057594037927933e16",
      "123456789012345678901234567890e-30",
      "0.000000000000000000000000000000000000000000001e300",
      "-1e-400",
  };
  std::mt19937_64 random(11);
  for (int i = 0; i < 20000; ++i) {
    std::string field = (random() % 4 == 0) ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 25);
    const int point = static_cast<int>(random() % static_cast<std::uint64_t>(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point) field += '.';
      field += static_cast<char>('0' + random() % 10);
    }
    if (random() % 2 == 0) field += "e" + std::to_string(static_cast<int>(random() % 700) - 350);
    fields.push_back(field);
  }
  for (const std::string& field : fields) {
    char* end = nullptr;
    errno = 0;
    const double expected = std::strtod(field.c_str(), &end);
    ASSERT_EQ(end, field.c_str() + field.size()) << field;
    const auto value = parseFastPathNumber(field);
    if (errno == ERANGE && std::isinf(expected)) {
      EXPECT_FALSE(value.has_value()) << field;
      continue;
    }
    ASSERT_TRUE(value.has_value()) << field;
    EXPECT_EQ(bitsOf(*value), bitsOf(expected)) << field;
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
