// The handling of one input line, the whole of the agent's work between two reads: control
// words, fast path lines, and JSON command lines for everything else. Every event of the line is
// posted before it returns; a line that is none of these is dropped without a word.
#pragma once

#include <string_view>

#include "command/json_decoder.h"
#include "injector/input_injector.h"

enum class LineOutcome { carryOn, quit };

// The line is given without its terminator. It may hold any bytes: ill-formed UTF-8 is replaced
// by U+FFFD before the line is looked at.
LineOutcome handleLine(std::string_view line, InputInjector& injector, JsonDecoder& decoder);
