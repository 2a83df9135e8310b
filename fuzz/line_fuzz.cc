// libFuzzer target over the agent's whole line handling, on the platform that posts nothing.
//
// Each input is handled three ways, with one injector and one decoder kept for the whole run as
// the agent keeps them: as one line as it stands (any bytes, line feeds included), and as a
// stream through LineReader, once with the usual line bound and once with a bound of a few bytes
// so that the path that drops over-long lines is taken too. The lines LineReader yields are
// checked against a plain split at line feeds; a difference aborts, as a sanitizer finding does.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "command/handle_line.h"
#include "command/json_decoder.h"
#include "command/line_reader.h"
#include "injector/input_injector.h"

namespace {

InputInjector& injector() {
  static InputInjector* const instance = new InputInjector;
  return *instance;
}

JsonDecoder& decoder() {
  static JsonDecoder* const instance = new JsonDecoder;
  return *instance;
}

// The lines of a stream as the line protocol defines them: split at every line feed, one
// carriage return removed before it (and at the end of input), lines over the bound dropped.
std::vector<std::string_view> expectedLines(std::string_view input, std::size_t bound) {
  std::vector<std::string_view> lines;
  while (!input.empty()) {
    const std::size_t feed = input.find('\n');
    std::string_view line = input.substr(0, feed);
    input.remove_prefix(feed == std::string_view::npos ? input.size() : feed + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() <= bound) lines.push_back(line);
  }
  return lines;
}

// A descriptor that reads back the input, as standard input would deliver it.
int streamOf(std::string_view input) {
  const int fd = memfd_create("line_fuzz", 0);
  if (fd < 0) std::abort();
  std::size_t done = 0;
  while (done < input.size()) {
    const ssize_t n = write(fd, input.data() + done, input.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  if (lseek(fd, 0, SEEK_SET) != 0) std::abort();
  return fd;
}

void readAndHandle(std::string_view input, std::size_t bound) {
  const std::vector<std::string_view> expected = expectedLines(input, bound);
  const int fd = streamOf(input);
  LineReader reader(fd, bound);
  std::size_t count = 0;
  while (const auto line = reader.next()) {
    if (count >= expected.size() || *line != expected[count]) std::abort();
    ++count;
    handleLine(*line, injector(), decoder());
  }
  if (count != expected.size()) std::abort();
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  handleLine(input, injector(), decoder());
  readAndHandle(input, kMaxLineBytes);
  readAndHandle(input, 1 + size % 16);
  return 0;
}
