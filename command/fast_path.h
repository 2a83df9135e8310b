// The terse pointer lines "M x y" and "W dx dy", read without the JSON decoder.
//
// The line is split at spaces (runs of spaces count as one, leading and trailing ones add no
// field; tabs belong to fields). It is used only with exactly three fields whose second and
// third are numbers in full, as strtod reads them in the POSIX locale: an optional sign, decimal
// or hexadecimal floating point, "inf", "infinity" and "nan" in any case. A field that is empty,
// begins with white space, has anything after the number, or overflows the double range is not a
// number; one that underflows is the value strtod gives (zero or subnormal).
#pragma once

#include <optional>
#include <string_view>

struct FastPathNumbers {
  double first;
  double second;
};

// The two numbers of a fast path line (its first field, the prefix, is not examined), or none
// when the line is to be dropped.
std::optional<FastPathNumbers> parseFastPathLine(std::string_view line);

// One field as a number, by the rules above.
std::optional<double> parseFastPathNumber(std::string_view field);
