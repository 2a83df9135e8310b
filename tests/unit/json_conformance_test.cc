// Runs JSONTestSuite's parsing cases (held as data in CONFORMANCE_DIR) through the line path:
// UTF-8 repair, then decoding. Each file is embedded as the value of an unknown member of a
// valid wheel command: y_ files must leave the command decodable, n_ files must make it fail,
// i_ files may do either but must not crash. No file decodes as a line of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "command/json_decoder.h"
#include "command/utf8_repair.h"

namespace {

std::optional<InputCommand> decodeLine(JsonDecoder& decoder, const std::string& line) {
  std::string storage;
  return decoder.decode(repairUtf8(line, storage));
}

TEST(JsonConformance, SuiteFilesAsMemberValues) {
  // The suite is data kept beside the repository (shared/), not in it.
  if (!std::filesystem::is_directory(CONFORMANCE_DIR)) {
    GTEST_SKIP() << "no conformance data at " << CONFORMANCE_DIR;
  }
  JsonDecoder decoder;
  int counts[3] = {0, 0, 0};  // y_, n_, i_
  for (const auto& entry : std::filesystem::directory_iterator(CONFORMANCE_DIR)) {
    const std::string name = entry.path().filename().string();
    std::ifstream file(entry.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.find('\n') != std::string::npos) continue;  // not one line

    const auto embedded = decodeLine(decoder, R"({"cmd":"wheel","dy":1,"zz":)" + text + "}");
    EXPECT_FALSE(decodeLine(decoder, text).has_value()) << name << " alone";
    if (name.starts_with("y_")) {
      ++counts[0];
      EXPECT_TRUE(embedded.has_value()) << name;
      if (embedded) {
        EXPECT_EQ(*embedded, (InputCommand{.cmd = "wheel", .dy = 1})) << name;
      }
    } else if (name.starts_with("n_")) {
      ++counts[1];
      EXPECT_FALSE(embedded.has_value()) << name;
    } else if (name.starts_with("i_")) {
      ++counts[2];
    }
  }
  // The suite is there and was read: most of its files are single lines.
  EXPECT_GT(counts[0], 80);
  EXPECT_GT(counts[1], 150);
  EXPECT_GT(counts[2], 20);
}

}  // namespace
