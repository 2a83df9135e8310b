// Lines at and past the line bound (1 MiB after the terminator is removed) through the agent:
// one at the bound is handled, however deeply nested; one byte more and the line is dropped
// whole, and the next line is handled as usual.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/run_process.h"

namespace {

constexpr std::size_t kBound = std::size_t{1} << 20;
const std::string kScroll =
    "CGEventCreateScrollWheelEvent2 src 0 2 3 0 0\nCGEventPost 0\nCFRelease\n";
const std::string kMove = "CGEventCreateMouseEvent src 5 7 8 0\nCGEventPost 0\nCFRelease\n";

// A scroll command of exactly `size` bytes whose unknown member nests as deep as fits.
std::string scrollLine(std::size_t size, std::size_t maxLevels = kBound) {
  const std::string head = R"({"cmd":"wheel","dy":-3,"zz":)";
  const std::size_t levels = std::min(maxLevels, (size - head.size() - 2) / 2);
  std::string line = head + std::string(levels, '[') + "0" + std::string(levels, ']') + "}";
  line.resize(size, ' ');
  return line;
}

std::string traceOf(const std::string& input) {
  ProcessOptions options;
  options.unsetEnv = {"INPUT_AGENT_TRACE_FAIL", "INPUT_AGENT_TRACE_NULL_SOURCE"};
  const ProcessResult result = runProcess({TRACE_AGENT}, input, options);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "READY\n");
  return result.err;
}

TEST(LineBound, LinesUpToTheBoundAreHandledLongerOnesDroppedWhole) {
  const std::string source = "CGEventSourceCreate 1\n";
  EXPECT_EQ(traceOf(scrollLine(kBound) + "\n" + scrollLine(kBound) + "\r\nM 7 8\n"),
            source + kScroll + kScroll + kMove);
  EXPECT_EQ(traceOf(scrollLine(kBound + 1) + "\nM 7 8\n" + scrollLine(kBound + 1) + "\r\n"),
            source + kMove);
  // A million levels do not fit: two bytes a level.
  EXPECT_EQ(traceOf(scrollLine(2 * 1000000 + 30, 1000000) + "\nM 7 8\n"), source + kMove);
}

}  // namespace
