// Decodes one JSON command line into an InputCommand.
#pragma once

#include <optional>
#include <string_view>

#include "command/input_command.h"

class JsonDecoder {
 public:
  // The record of one line, or none when the line does not decode.
  std::optional<InputCommand> decode(std::string_view line);
};
