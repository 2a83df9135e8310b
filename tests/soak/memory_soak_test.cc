// Soak: ten million mixed lines, valid and not, through the real agent with no display (so
// every event is created and released but goes nowhere), sampling its resident size from
// /proc as the lines go in. The resident size must stay flat: its peak over the last million
// lines within 1 MiB of its peak over the first million. Over-long lines and lines at the
// line bound come every 100,000 lines, from the first block on, so that every buffer reaches
// its largest size within the first million; a 64 MiB line at the start must not be held.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

constexpr long kLines = 10000000;
constexpr long kMillion = 1000000;
constexpr long kBigEvery = 100000;
constexpr std::size_t kBound = std::size_t{1} << 20;

// One block of ordinary lines, numbers varied by the block's index.
std::vector<std::string> ordinaryLines(int variant) {
  const std::string v = std::to_string(variant);
  return {
      "M " + v + " 200",
      "W 0 -" + v,
      "M 1.5e2   -0.25  ",
      "M 1 2 3",
      "W x 1",
      "M 0x10 inf",
      R"({"cmd":"move","x":)" + v + R"(,"y":20})",
      R"({"cmd":"down","x":1,"y":2,"button":"right"})",
      "M " + v + " 5",
      R"({"cmd":"up","button":"right"})",
      R"({"cmd":"dblclick","x":3,"y":4})",
      R"({"cmd":"wheel","dx":-)" + v + R"(,"dy":120.5})",
      R"({"cmd":"key","code":"KeyA","shift":true})",
      R"({"cmd":"key","code":"Enter","action":"down"})",
      R"({"cmd":"key","code":"Enter","action":"up"})",
      R"({"cmd":"key","key":"é"})",
      R"({"cmd":"key","key":"\ud83d\ude00"})",
      R"({"cmd":"key","key":"👍🏽","ctrl":false})",
      R"({"cmd":"shortcut","shortcut":"copy"})",
      R"({"cmd":"shortcut","shortcut":"nope"})",
      "{\"cmd\":\"down\",\"x\":1,\"y\":1}",
      "RESET",
      "{\"cmd\":\"wheel\",\"dy\":1,\"zz\":" + std::string(100, '[') + std::string(100, ']') + "}",
      R"({"cmd":"move","x":1e999,"y":0})",
      R"({"cmd":"move","x":"1","y":0})",
      R"({"cmd":"key","key":"\ud800"})",
      "{\"cmd\":\"key\",\"key\":\"\xC0\xAF\xED\xA0\x80\"}",
      std::string("M 1\0 2", 6),
      "{\"cmd\":\"wheel\"",
      "[1,2,3]",
      "quit",
      "",
      "   ",
      "\xFF\xFE garbage \x80",
      "{\"cmd\":\"move\",\"x\":1,\"y\":2}\r",
  };
}

// Lines that make the buffers as large as they get: at the bound (handled, one with a 1 MiB
// string the parser holds whole, one that needs its UTF-8 repaired first) and past it.
std::vector<std::string> bigLines() {
  const std::string head = R"({"cmd":"wheel","dy":1,"zz":")";
  std::string longString = head + std::string(kBound - head.size() - 2, 'a') + "\"}";
  std::string needsRepair = longString;
  for (std::size_t i = head.size(); i + 1 < needsRepair.size() - 2; i += 1000) {
    needsRepair[i] = '\xC0';
  }
  return {longString, needsRepair, std::string(kBound + kBound / 2, 'x')};
}

long residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return -1;
}

TEST(Soak, TenMillionMixedLinesKeepTheResidentSizeFlat) {
  std::vector<std::string> blocks;
  std::size_t linesPerBlock = 0;
  for (int variant = 0; variant < 10; ++variant) {
    std::string block;
    const auto lines = ordinaryLines(variant);
    for (int i = 0; i < 30; ++i) {
      for (const auto& line : lines) block += line + "\n";
    }
    linesPerBlock = 30 * lines.size();
    blocks.push_back(block);
  }
  std::string big;
  const auto bigs = bigLines();
  for (const auto& line : bigs) big += line + "\n";

  ProcessOptions options;
  options.unsetEnv = {"DISPLAY"};
  RunningProcess agent({AGENT}, options);
  ASSERT_TRUE(agent.waitForOut("READY\n"));
  // One line of 64 MiB first: dropped as it streams in, it must never be resident.
  ASSERT_TRUE(agent.write(std::string(64 * kBound, 'z') + "\n"));

  std::vector<long> peakPerMillion(kLines / kMillion, 0);
  long written = 0;
  long nextBig = 0;
  long nextSample = 0;
  std::size_t blockIndex = 0;
  while (written < kLines) {
    if (written >= nextBig) {
      ASSERT_TRUE(agent.write(big));
      written += static_cast<long>(bigs.size());
      nextBig += kBigEvery;
    }
    ASSERT_TRUE(agent.write(blocks[blockIndex++ % blocks.size()]));
    written += static_cast<long>(linesPerBlock);
    if (written >= nextSample) {
      const long kib = residentKiB(agent.pid());
      ASSERT_GT(kib, 0);
      long& peak = peakPerMillion[std::min<std::size_t>(written / kMillion, 9)];
      peak = std::max(peak, kib);
      nextSample += 20000;
    }
  }
  ASSERT_TRUE(agent.write("QUIT\n"));
  const ProcessResult result = agent.waitForExit(60000);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "READY\n");
  EXPECT_EQ(result.err, "");

  std::string figures;
  for (std::size_t m = 0; m < peakPerMillion.size(); ++m) {
    figures += (m ? ", " : "") + std::to_string(peakPerMillion[m]);
  }
  std::printf("%ld lines; peak VmRSS per million lines, KiB: %s\n", written, figures.c_str());
  RecordProperty("peak_rss_kib_per_million", figures);
  EXPECT_LE(peakPerMillion.back(), peakPerMillion.front() + 1024) << figures;
  EXPECT_LT(*std::max_element(peakPerMillion.begin(), peakPerMillion.end()), 32 * 1024) << figures;
}

}  // namespace
