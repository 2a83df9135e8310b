#include "command/utf8_repair.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed sequence at the start of bytes[0, size), or, when there is none, the
// negated length of its maximal ill-formed subsequence (at least 1). size > 0.
//
// Well-formed sequences (the Unicode Standard's table of them): the lead byte fixes the length
// and the range of the second byte; every further byte is 80..BF.
//   00..7F
//   C2..DF  80..BF
//   E0      A0..BF  80..BF          (E0 80..9F would be overlong)
//   E1..EC  80..BF  80..BF
//   ED      80..9F  80..BF          (ED A0..BF would be a surrogate)
//   EE..EF  80..BF  80..BF
//   F0      90..BF  80..BF  80..BF  (F0 80..8F would be overlong)
//   F1..F3  80..BF  80..BF  80..BF
//   F4      80..8F  80..BF  80..BF  (F4 90.. would be above U+10FFFF)
// 80..C1 and F5..FF start nothing.
int sequenceAt(const unsigned char* bytes, std::size_t size) {
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return 1;
  int length;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if (static_cast<std::size_t>(i) >= size || bytes[i] < low || bytes[i] > high) return -i;
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

// Offset of the first byte that is not ASCII, or size.
std::size_t asciiPrefix(const unsigned char* bytes, std::size_t size) {
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (i < size && bytes[i] < 0x80) ++i;
  return i;
}

}  // namespace

std::string_view repairUtf8(std::string_view text, std::string& storage) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();

  // Nearly every line is valid: find the first ill-formed byte without copying anything.
  std::size_t i = 0;
  while (true) {
    i += asciiPrefix(bytes + i, size - i);
    if (i == size) return text;
    const int n = sequenceAt(bytes + i, size - i);
    if (n < 0) break;
    i += static_cast<std::size_t>(n);
  }

  storage.clear();
  storage.reserve(size + 2 * kReplacement.size());
  storage.append(text.data(), i);
  while (i < size) {
    const int n = sequenceAt(bytes + i, size - i);
    if (n > 0) {
      storage.append(text.data() + i, static_cast<std::size_t>(n));
      i += static_cast<std::size_t>(n);
    } else {
      storage.append(kReplacement);
      i += static_cast<std::size_t>(-n);
    }
  }
  return storage;
}
