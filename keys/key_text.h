// The three measures of a key command's text: whether it is exactly one user-perceived
// character (one extended grapheme cluster), its first Unicode scalar, and its UTF-16 form.
// REQUIRES: the text is valid UTF-8 (decoded JSON strings are).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// True when the text is exactly one extended grapheme cluster, however many scalars it holds
// (a letter with combining marks, a flag, an emoji joined by zero-width joiners).
bool isSingleCharacter(std::string_view text);

// The first scalar of the text; 0 for the empty text.
std::int32_t firstScalar(std::string_view text);

// Every scalar as UTF-16 code units, those above U+FFFF as surrogate pairs.
std::vector<std::uint16_t> toUtf16(std::string_view text);
