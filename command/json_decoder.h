// Decodes one JSON command line into an InputCommand.
//
// The line must be exactly one JSON text in the strict form of RFC 8259, with nothing but JSON
// white space around it (a leading byte order mark fails), and its value an object. Its member
// "cmd" must hold a string; each of the thirteen optional members (x, y, dx, dy: numbers;
// button, code, key, action, shortcut: strings; ctrl, shift, alt, meta: booleans) is absent when
// missing or null, stored when of its type, and fails the whole line when of any other type,
// whether or not the command reads it. Members with other names are skipped, whatever they hold.
// Only the top-level object's members count. Names are compared byte for byte after their
// escapes are resolved.
//
// Choices the rules leave open:
// - A repeated member: the last value counts (null making the field absent again), but any of
//   its values of the wrong type fails the line.
// - A number beyond the double range (1e999) fails the line; one too small (1e-999) is 0.
//   Integers beyond 64 bits are read as the nearest double. The integer -0 is read as 0.
//
// The line is bytes with a length, never a C string: a NUL byte inside it is part of it, and
// fails the line, since JSON allows none (a NUL in a text is written \u0000). The line is expected
// to be valid UTF-8 already (see utf8_repair.h); ill-formed UTF-8 inside a string fails the line.
#pragma once

#include <optional>
#include <string_view>

#include "command/input_command.h"

class JsonDecoder {
 public:
  // The record of one line, or none when the line does not decode. Keeps nothing from one line
  // to the next.
  std::optional<InputCommand> decode(std::string_view line);
};
