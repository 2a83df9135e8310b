// A million levels of JSON nesting inside a member the record does not know: the line decodes
// (no recursion, no stack overflow, nothing kept per level beyond a bit), and the whole line
// handling copes with it. A line this long is over the line bound of the agent, so only the
// decoder and handleLine see it; tests/process checks the deepest line the bound lets through.
#include <gtest/gtest.h>

#include <string>

#include "command/handle_line.h"
#include "command/json_decoder.h"

namespace {

constexpr int kLevels = 1000000;

std::string repeat(const std::string& piece, int times) {
  std::string out;
  out.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string nestedLine(const std::string& open, const std::string& close, int closes) {
  return R"({"cmd":"wheel","dy":-3,"zz":)" + repeat(open, kLevels) + "0" + repeat(close, closes) +
         "}";
}

TEST(DeepNesting, AMillionLevelsInsideAnUnknownMemberDecode) {
  JsonDecoder decoder;
  InputInjector injector;
  const struct {
    const char* open;
    const char* close;
  } shapes[] = {{"[", "]"}, {R"({"":)", "}"}, {R"([{"x":)", "}]"}};
  for (const auto& shape : shapes) {
    const std::string line = nestedLine(shape.open, shape.close, kLevels);
    const auto command = decoder.decode(line);
    ASSERT_TRUE(command) << shape.open;
    EXPECT_EQ(command->cmd, "wheel");
    EXPECT_EQ(command->dy, -3.0);
    EXPECT_EQ(handleLine(line, injector, decoder), LineOutcome::carryOn);

    // One level left open fails the line.
    EXPECT_FALSE(decoder.decode(nestedLine(shape.open, shape.close, kLevels - 1))) << shape.open;
  }
  // The same depth inside a member the record knows is of the wrong type.
  const std::string known =
      R"({"cmd":"wheel","dy":)" + repeat("[", kLevels) + repeat("]", kLevels) + "}";
  EXPECT_FALSE(decoder.decode(known));
}

}  // namespace
