// Golden traces: each case in golden/*.golden feeds its input lines to input-agent-trace and
// compares the whole trace it writes, after the source creation, with the expected one. Where the
// recording agent is built, each case in golden/devices/*.golden feeds its input to it and
// compares the whole record of its device (what the input policy made of the lines); its input
// is a file, so the agent never waits for more (held motion goes with the next event or at the
// end). The agent must also print exactly "READY" and exit with status 0.
//
// Case format:
//   === name
//   env NAME=VALUE          (any number, optional)
//   <<<
//   input lines; escapes \r \t \0 \xHH \\ ; a line ending in \c gets no line feed
//   >>>
//   expected trace lines
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/run_process.h"

namespace {

struct GoldenCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> env;
  std::string input;
  std::string expected;
};

std::string unescape(const std::string& line, bool& noFeed) {
  std::string out;
  noFeed = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      out += line[i];
      continue;
    }
    const char c = line[++i];
    switch (c) {
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case '0':
        out += '\0';
        break;
      case '\\':
        out += '\\';
        break;
      case 'c':
        if (i + 1 == line.size()) noFeed = true;
        break;
      case 'x':
        out += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
        i += 2;
        break;
      default:
        out += '\\';
        out += c;
    }
  }
  return out;
}

std::vector<GoldenCase> loadCases(const std::string& dir) {
  std::vector<GoldenCase> cases;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".golden") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    enum { outside, header, input, expected } state = outside;
    while (std::getline(in, line)) {
      if (line.starts_with("=== ")) {
        cases.push_back({file.stem().string() + "/" + line.substr(4), {}, {}, {}});
        state = header;
      } else if (state == header && line.starts_with("env ")) {
        const auto eq = line.find('=');
        cases.back().env.emplace_back(line.substr(4, eq - 4), line.substr(eq + 1));
      } else if (state == header && line == "<<<") {
        state = input;
      } else if (state == input && line == ">>>") {
        state = expected;
      } else if (state == input) {
        bool noFeed = false;
        cases.back().input += unescape(line, noFeed);
        if (!noFeed) cases.back().input += '\n';
      } else if (state == expected) {
        cases.back().expected += line + "\n";
      }
    }
  }
  for (auto& c : cases) {
    while (c.expected.ends_with("\n\n")) c.expected.pop_back();
    if (c.expected == "\n") c.expected.clear();
  }
  return cases;
}

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, TraceMatches) {
  const GoldenCase& c = GetParam();
  ProcessOptions options;
  options.setEnv = c.env;
  options.unsetEnv = {"INPUT_AGENT_TRACE_FAIL", "INPUT_AGENT_TRACE_NULL_SOURCE"};
  const ProcessResult result = runProcess({TRACE_AGENT}, c.input, options);
  bool nullSource = false;
  for (const auto& [k, v] : c.env)
    nullSource = nullSource || (k == "INPUT_AGENT_TRACE_NULL_SOURCE" && v == "1");
  const std::string sourceLine =
      nullSource ? "CGEventSourceCreate 1 -> null\n" : "CGEventSourceCreate 1\n";
  EXPECT_EQ(result.out, "READY\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, sourceLine + c.expected) << "input:\n" << c.input;
}

std::string caseName(const testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(loadCases(GOLDEN_DIR)), caseName);

#if defined(RECORD_AGENT)
class GoldenRecord : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenRecord, RecordMatches) {
  const GoldenCase& c = GetParam();
  const std::filesystem::path input =
      std::filesystem::temp_directory_path() /
      ("input-agent-golden-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       "-" + caseName({c, 0}) + ".txt");
  {
    std::ofstream file(input, std::ios::binary);
    file << c.input;
  }
  ProcessOptions options;
  options.setEnv = c.env;
  options.stdinPath = input.string();
  const ProcessResult result = runProcess({RECORD_AGENT}, "", options);
  std::filesystem::remove(input);
  EXPECT_EQ(result.out, "READY\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, c.expected) << "input:\n" << c.input;
}

INSTANTIATE_TEST_SUITE_P(Devices, GoldenRecord,
                         testing::ValuesIn(loadCases(GOLDEN_DIR "/devices")), caseName);
#endif

}  // namespace
