// Fast path fields. fast_float reads the common decimal forms without a copy and gives the same
// correctly rounded value as strtod (std::from_chars for double would too, but the libc++ of the
// macOS SDKs lacks it). Everything it does not take in full (a plus sign, hex floats, inf and
// nan, out of range values) goes to strtod itself, which needs a NUL-terminated copy. The agent
// never calls setlocale, so strtod reads in the "C" locale: '.' is the decimal point.
#include "command/fast_path.h"

#include <fast_float/fast_float.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::optional<double> parseWithStrtod(std::string_view field) {
  char small[64];
  std::string large;
  const char* text;
  if (field.size() < sizeof small) {
    field.copy(small, field.size());
    small[field.size()] = '\0';
    text = small;
  } else {
    large.assign(field);
    text = large.c_str();
  }
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  // A NUL inside the field stops strtod early and so fails this test, as it should.
  if (end != text + field.size()) return std::nullopt;
  if (errno == ERANGE && std::isinf(value)) return std::nullopt;  // overflow
  return value;
}

}  // namespace

std::optional<double> parseFastPathNumber(std::string_view field) {
  if (field.empty() || isCSpace(field.front())) return std::nullopt;
  double value = 0;
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = fast_float::from_chars(field.data(), end, value);
  // fast_float also reads "inf" and "nan", and may give infinity for an out of range value
  // without an error: whatever is not finite is left to strtod and its rules.
  if (ec == std::errc() && ptr == end && std::isfinite(value)) return value;
  return parseWithStrtod(field);
}

std::optional<FastPathNumbers> parseFastPathLine(std::string_view line) {
  std::string_view fields[3];
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (line[pos] == ' ') {
      ++pos;
      continue;
    }
    std::size_t end = line.find(' ', pos);
    if (end == std::string_view::npos) end = line.size();
    if (count == 3) return std::nullopt;
    fields[count++] = line.substr(pos, end - pos);
    pos = end;
  }
  if (count != 3) return std::nullopt;
  const auto first = parseFastPathNumber(fields[1]);
  if (!first) return std::nullopt;
  const auto second = parseFastPathNumber(fields[2]);
  if (!second) return std::nullopt;
  return FastPathNumbers{*first, *second};
}
