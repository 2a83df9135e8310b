#include "command/json_decoder.h"

// Not decoded yet: every JSON line is dropped.
std::optional<InputCommand> JsonDecoder::decode(std::string_view) { return std::nullopt; }
