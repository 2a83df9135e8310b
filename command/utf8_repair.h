// Makes a line valid UTF-8 before anything looks at it.
//
// Bytes that do not form valid UTF-8 become U+FFFD REPLACEMENT CHARACTER, one for each maximal
// ill-formed subsequence, as the Unicode Standard recommends: a sequence that starts well and
// breaks off gives one U+FFFD for the bytes read so far ("\xE2\x82" then "A" is U+FFFD then
// "A"), and a byte that can start no sequence gives one of its own ("\xC0\xAF" is two, the
// surrogate "\xED\xA0\x80" three). Overlong forms, surrogates and code points above U+10FFFF
// are ill-formed. Valid bytes, NUL included, are kept as they are.
//
// Small enough to own, and utf8proc (which the agent links) reports a bad sequence without its
// length, so it cannot tell where one maximal ill-formed subsequence ends.
#pragma once

#include <string>
#include <string_view>

// The text as valid UTF-8. A valid input is returned as it is, without a copy; otherwise the
// repaired text is written to `storage` and the result points into it (valid while `storage`
// is unchanged).
std::string_view repairUtf8(std::string_view text, std::string& storage);
