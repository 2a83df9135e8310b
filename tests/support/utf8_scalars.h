// For tests and benchmarks: UTF-8 text split into its Unicode scalars, each as its UTF-8 bytes
// (well-formed text only: a lead byte says how many bytes follow).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline std::vector<std::string> utf8Scalars(const std::string& utf8) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    result.push_back(utf8.substr(i, length));
    i += length;
  }
  return result;
}
