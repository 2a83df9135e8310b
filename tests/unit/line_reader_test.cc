#include "command/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::string_literals;

// Feeds the chunks through a pipe, one write each, and collects every line the reader returns.
std::vector<std::string> readLines(const std::vector<std::string>& chunks,
                                   std::size_t maxLine = kMaxLineBytes) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  std::thread writer([&] {
    for (const auto& chunk : chunks) {
      std::size_t done = 0;
      while (done < chunk.size()) {
        const ssize_t n = write(fds[1], chunk.data() + done, chunk.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
    }
    close(fds[1]);
  });
  LineReader reader(fds[0], maxLine);
  std::vector<std::string> lines;
  while (auto line = reader.next()) lines.emplace_back(*line);
  writer.join();
  close(fds[0]);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, RemovesOneTerminator) {
  const struct {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\r\n", {"a\r"}},
      {"a\rb\n", {"a\rb"}},
      {"\n\n", {"", ""}},
      {"last", {"last"}},
      {"last\r", {"last"}},
      {"  pad \t\n", {"  pad \t"}},
      {"nul\0inside\n"s, {"nul\0inside"s}},
  };
  for (const auto& c : cases) EXPECT_EQ(readLines({c.input}), c.lines) << c.input;
}

TEST(LineReader, JoinsLinesSplitAcrossReads) {
  EXPECT_EQ(readLines({"M 1", "00 2", "00\r", "\nQUIT", "\n"}), (Lines{"M 100 200", "QUIT"}));
}

TEST(LineReader, DropsOverlongLinesWhole) {
  const std::string atLimit(16, 'a');
  const std::string over(17, 'b');
  EXPECT_EQ(readLines({atLimit + "\n" + over + "\nnext\n"}, 16), (Lines{atLimit, "next"}));
  EXPECT_EQ(readLines({atLimit + "\r\n"}, 16), (Lines{atLimit}));
  EXPECT_EQ(readLines({over}, 16), Lines{});
  // Far longer than the buffer, in many reads.
  std::vector<std::string> chunks(64, std::string(100000, 'x'));
  chunks.push_back("\nafter\n");
  EXPECT_EQ(readLines(chunks, 1 << 20), (Lines{"after"}));
}

TEST(LineReader, KeepsLinesUpToTheDefaultBound) {
  const std::string big(kMaxLineBytes, 'y');
  const Lines lines = readLines({big + "\n" + big + "z\nend\n"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], big);
  EXPECT_EQ(lines[1], "end");
}

}  // namespace
