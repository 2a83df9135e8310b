#include "command/json_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "command/utf8_repair.h"

namespace {

using namespace std::string_literals;

// Decodes the line the way the agent does: UTF-8 repair first.
std::optional<InputCommand> decodeLine(JsonDecoder& decoder, const std::string& line) {
  std::string storage;
  return decoder.decode(repairUtf8(line, storage));
}

struct Case {
  std::string line;
  std::optional<InputCommand> record;  // none: the line does not decode
};

const std::optional<InputCommand> fails;

InputCommand cmd(std::string name) { return InputCommand{.cmd = std::move(name)}; }

// Lines that decode and lines that do not, boundaries side by side.
const std::vector<Case>& acceptanceCases() {
  static const std::vector<Case> cases = {
      // Numbers of every form are doubles.
      {R"({"cmd":"move","x":100,"y":200})", InputCommand{.cmd = "move", .x = 100, .y = 200}},
      {R"({"cmd":"move","x":1.5e2,"y":-0.25})", InputCommand{.cmd = "move", .x = 150, .y = -0.25}},
      {R"({"cmd":"move","x":1E+2,"y":25e-2})", InputCommand{.cmd = "move", .x = 100, .y = 0.25}},
      {R"({"cmd":"move","x":"100","y":200})", fails},
      {R"({"cmd":"move","x":true,"y":200})", fails},

      // Every field at once, then each field null: null is absent.
      {R"({"cmd":"key","x":1,"y":2,"button":"b","dx":3,"dy":4,"code":"KeyA","key":"a",)"
       R"("action":"press","ctrl":true,"shift":false,"alt":true,"meta":false,"shortcut":"s"})",
       InputCommand{.cmd = "key",
                    .x = 1,
                    .y = 2,
                    .button = "b",
                    .dx = 3,
                    .dy = 4,
                    .code = "KeyA",
                    .key = "a",
                    .action = "press",
                    .ctrl = true,
                    .shift = false,
                    .alt = true,
                    .meta = false,
                    .shortcut = "s"}},
      {R"({"shortcut":null,"meta":null,"alt":null,"shift":null,"ctrl":null,"action":null,)"
       R"("key":null,"code":null,"dy":null,"dx":null,"button":null,"y":null,"x":null,"cmd":"k"})",
       cmd("k")},
      {R"({"cmd":"key","ctrl":null})", cmd("key")},
      {R"({"cmd":"key","ctrl":1})", fails},
      {R"({"cmd":"key","ctrl":0})", fails},
      {R"({"cmd":"key","ctrl":"true"})", fails},
      {R"({"cmd":"down","button":null})", cmd("down")},
      {R"({"cmd":"down","button":""})", InputCommand{.cmd = "down", .button = ""}},
      {R"({"cmd":"down","button":1})", fails},
      // A wrong type fails the line even where the command never reads the field.
      {R"({"cmd":"move","x":1,"y":2,"shift":false})",
       InputCommand{.cmd = "move", .x = 1, .y = 2, .shift = false}},
      {R"({"cmd":"move","x":1,"y":2,"shift":0})", fails},

      // "cmd": required, a string, matched exactly.
      {R"({"cmd":""})", cmd("")},
      {R"({"cmd":"no such command"})", cmd("no such command")},
      {R"({})", fails},
      {R"({"x":1})", fails},
      {R"({"cmd":null})", fails},
      {R"({"cmd":5})", fails},
      {R"({"cmd":false})", fails},
      {R"({"cmd":["move"]})", fails},
      {R"({"cmd":{}})", fails},
      {R"({"Cmd":"move"})", fails},
      {R"({"CMD":"move"})", fails},
      {R"({"cmd ":"move"})", fails},
      {R"({"zz":{"cmd":"move"}})", fails},  // only top-level members count
      {R"({"zz":[{"cmd":"move"}]})", fails},
      {"{\"cmd\\u0000\":\"move\"}", fails},
      {"{\"c\\u006Dd\":\"move\"}", cmd("move")},  // names are compared with escapes resolved
      {"{\"cmd\":\"move\",\"\\u0078\":5}", InputCommand{.cmd = "move", .x = 5}},
      {"{\"cmd\":\"move\",\"\\u0078\":\"5\"}", fails},
      {"{\"cmd\":\"move\",\"x\\u0000\":\"5\"}", cmd("move")},
      {"{\"cmd\":\"move\",\"\xE2\x84\xAA\":\"5\"}", cmd("move")},  // U+212A is no "K" here

      // The top level must be an object.
      {R"([{"cmd":"move"}])", fails},
      {R"("cmd")", fails},
      {"1", fails},
      {"true", fails},
      {"false", fails},
      {"null", fails},
      {"[]", fails},

      // Exactly one value, with JSON white space only around it.
      {" \t\r\n{\"cmd\":\"move\"} \t\r\n", cmd("move")},
      {"", fails},
      {"   ", fails},
      {"\t", fails},
      {R"({"cmd":"move"}x)", fails},
      {R"({"cmd":"move"},)", fails},
      {R"({"cmd":"move"}{})", fails},
      {R"({"cmd":"move"} {"cmd":"move"})", fails},
      {"{\"cmd\":\"move\"}\0"s, fails},  // a NUL byte is part of the line, not its end
      {"{\"cmd\":\"move\"}\0}}garbage"s, fails},
      {"{\"cmd\":\"move\"} \0 "s, fails},
      {"\0{\"cmd\":\"move\"}"s, fails},
      {"\v{\"cmd\":\"move\"}", fails},
      {"\f{\"cmd\":\"move\"}", fails},
      {"\xC2\xA0{\"cmd\":\"move\"}", fails},      // no-break space
      {"\xEF\xBB\xBF{\"cmd\":\"move\"}", fails},  // byte order mark
      {R"({"cmd":"move")", fails},
      {R"({"cmd":"move)", fails},

      // Strict RFC 8259.
      {R"({"cmd":"move",})", fails},
      {R"({'cmd':'move'})", fails},
      {R"({cmd:"move"})", fails},
      {R"({"cmd":"move"/**/})", fails},
      {R"({"cmd":"move","x":01})", fails},
      {R"({"cmd":"move","x":+1})", fails},
      {R"({"cmd":"move","x":.5})", fails},
      {R"({"cmd":"move","x":1.})", fails},
      {R"({"cmd":"move","x":0x10})", fails},
      {R"({"cmd":"move","x":NaN})", fails},
      {R"({"cmd":"move","x":Infinity})", fails},
      {R"({"cmd":"move","x":-0.0})", InputCommand{.cmd = "move", .x = -0.0}},
      {R"({"cmd":"move","x":-})", fails},

      // Big and small numbers. Integers beyond 64 bits are the nearest double; beyond the double
      // range fails, too small to tell from zero is zero.
      {R"({"cmd":"wheel","dy":9223372036854775807})",
       InputCommand{.cmd = "wheel", .dy = 9223372036854775807.0}},
      {R"({"cmd":"wheel","dy":18446744073709551615})",
       InputCommand{.cmd = "wheel", .dy = 18446744073709551615.0}},
      {R"({"cmd":"wheel","dy":18446744073709551616})",
       InputCommand{.cmd = "wheel", .dy = 1.8446744073709552e19}},
      {R"({"cmd":"wheel","dy":-9223372036854775809})",
       InputCommand{.cmd = "wheel", .dy = -9223372036854775808.0}},
      {R"({"cmd":"wheel","dy":)" + std::string(400, '9') + "}", fails},
      {R"({"cmd":"wheel","dy":)" + std::string(300, '9') + "}",
       InputCommand{.cmd = "wheel", .dy = 1e300}},
      {R"({"cmd":"wheel","dy":1.7976931348623157e308})",
       InputCommand{.cmd = "wheel", .dy = std::numeric_limits<double>::max()}},
      {R"({"cmd":"wheel","dy":1.7976931348623159e308})", fails},
      {R"({"cmd":"wheel","dy":1e999})", fails},
      {R"({"cmd":"wheel","dy":-1e400})", fails},
      {R"({"cmd":"wheel","zz":1e999})", fails},  // the parser fails it, whatever member holds it
      {R"({"cmd":"wheel","dy":5e-324})",
       InputCommand{.cmd = "wheel", .dy = std::numeric_limits<double>::denorm_min()}},
      {R"({"cmd":"wheel","dy":1e-999})", InputCommand{.cmd = "wheel", .dy = 0}},
      {R"({"cmd":"wheel","dy":-0})", InputCommand{.cmd = "wheel", .dy = 0}},

      // Unknown members are skipped whatever they hold, at any depth.
      {R"({"cmd":"wheel","dy":-3,"extra":[1,{"x":"no","cmd":5,"ctrl":[]}],"more":{"a":{}}})",
       InputCommand{.cmd = "wheel", .dy = -3}},
      {R"({"zz":null,"yy":true,"ww":"s","vv":-1.5e-7,"":0,"cmd":"wheel"})", cmd("wheel")},
      {R"({"cmd":"wheel","zz":)" + std::string(100000, '[') + std::string(100000, ']') + "}",
       cmd("wheel")},
      {R"({"cmd":"wheel","zz":)" + std::string(100000, '[') + std::string(99999, ']') + "}", fails},
      {R"({"cmd":"wheel","zz":[1,]})", fails},  // but they must still be JSON
      {R"({"cmd":"wheel","zz":"\x"})", fails},

      // A repeated member: the last value counts, any value of the wrong type fails.
      {R"({"cmd":"up","cmd":"down"})", cmd("down")},
      {R"({"cmd":"move","x":1,"x":2})", InputCommand{.cmd = "move", .x = 2}},
      {R"({"cmd":"move","x":1,"x":null})", cmd("move")},
      {R"({"cmd":"move","x":"a","x":1})", fails},
      {R"({"cmd":"move","x":1,"x":"a"})", fails},
      {R"({"cmd":5,"cmd":"move"})", fails},
      {R"({"cmd":"move","cmd":null})", fails},

      // Strings: escapes resolved, nothing trimmed or normalised.
      {R"({"cmd":"key","key":"\u00e9"})", InputCommand{.cmd = "key", .key = "\xC3\xA9"}},
      {"{\"cmd\":\"key\",\"key\":\"\xC3\xA9\"}", InputCommand{.cmd = "key", .key = "\xC3\xA9"}},
      {R"({"cmd":"key","key":"e\u0301"})", InputCommand{.cmd = "key", .key = "e\xCC\x81"}},
      {R"({"cmd":"key","key":"\ud83d\ude00"})",
       InputCommand{.cmd = "key", .key = "\xF0\x9F\x98\x80"}},
      {R"({"cmd":"key","key":"\ud83d"})", fails},  // a lone surrogate escape
      {R"({"cmd":"key","key":"\"\\\/\b\f\n\r\t"})",
       InputCommand{.cmd = "key", .key = "\"\\/\b\f\n\r\t"}},
      {R"({"cmd":"key","key":"\u0000"})", InputCommand{.cmd = "key", .key = "\0"s}},
      {"{\"cmd\":\"key\",\"key\":\"\0\"}"s, fails},  // a raw control character
      {"{\"cmd\":\"key\",\"key\":\"\t\"}", fails},
      {R"({"cmd":"key","key":" a "})", InputCommand{.cmd = "key", .key = " a "}},
      {R"({"cmd":"key","code":"keya"})", InputCommand{.cmd = "key", .code = "keya"}},
      {"{\"cmd\":\"key\",\"key\":\"a" + std::string(5000, 'b') + "\"}",
       InputCommand{.cmd = "key", .key = "a" + std::string(5000, 'b')}},
      // Invalid UTF-8 is repaired before decoding: U+FFFD in its place.
      {"{\"cmd\":\"key\",\"key\":\"\xE9\"}", InputCommand{.cmd = "key", .key = "\xEF\xBF\xBD"}},
      {"{\"cmd\":\"key\",\"key\":\"\xE2\x82!\"}",
       InputCommand{.cmd = "key", .key = "\xEF\xBF\xBD!"}},
      {"{\"cmd\":\"key\",\"\xFF\":1}", cmd("key")},
      {"{\"cmd\xFF\":\"key\"}", fails},
  };
  return cases;
}

void expectSameRecord(const InputCommand& got, const InputCommand& want, const std::string& line) {
  EXPECT_EQ(got, want) << line;
  // operator== cannot tell -0.0 from 0.0.
  for (auto field : {&InputCommand::x, &InputCommand::y, &InputCommand::dx, &InputCommand::dy}) {
    if ((got.*field).has_value() && (want.*field).has_value()) {
      EXPECT_EQ(std::signbit(*(got.*field)), std::signbit(*(want.*field))) << line;
    }
  }
}

TEST(JsonDecoder, AcceptanceTable) {
  JsonDecoder decoder;
  const auto& cases = acceptanceCases();
  // Twice through, the second time backwards, with the one decoder: no line may depend on the
  // lines before it.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t n = 0; n < cases.size(); ++n) {
      const Case& c = cases[pass == 0 ? n : cases.size() - 1 - n];
      const std::string shown = testing::PrintToString(c.line.substr(0, 200));
      const auto got = decodeLine(decoder, c.line);
      ASSERT_EQ(got.has_value(), c.record.has_value()) << shown;
      if (got) expectSameRecord(*got, *c.record, shown);
    }
  }
}

TEST(JsonDecoder, EveryOptionalKeyTakesOnlyItsType) {
  const struct {
    std::vector<std::string> keys, accepted, refused;
  } groups[] = {
      {{"x", "y", "dx", "dy"},
       {"0", "-12.5e1", "null"},
       {R"("100")", R"("")", "true", "false", "[]", "{}", "[1]", R"({"x":1})"}},
      {{"button", "code", "key", "action", "shortcut"},
       {R"("")", R"("s")", "null"},
       {"0", "1", "true", "false", "[]", "{}", R"(["s"])", R"({"s":"s"})"}},
      {{"ctrl", "shift", "alt", "meta"},
       {"true", "false", "null"},
       {"0", "1", R"("true")", R"("false")", "[]", "{}", "[true]", R"({"a":true})"}},
  };
  JsonDecoder decoder;
  for (const auto& group : groups) {
    for (const std::string& key : group.keys) {
      // "move" reads none of the keyboard fields: their types count all the same.
      const auto line = [&](const std::string& value) {
        return R"({"cmd":"move",")" + key + "\":" + value + "}";
      };
      for (const std::string& value : group.accepted) {
        EXPECT_TRUE(decodeLine(decoder, line(value)).has_value()) << line(value);
      }
      for (const std::string& value : group.refused) {
        EXPECT_FALSE(decodeLine(decoder, line(value)).has_value()) << line(value);
      }
    }
  }
}

}  // namespace
