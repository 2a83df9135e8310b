#include "command/handle_line.h"

#include <string>

#include "command/fast_path.h"
#include "command/utf8_repair.h"

LineOutcome handleLine(std::string_view bytes, InputInjector& injector, JsonDecoder& decoder) {
  // Every test below sees valid UTF-8; the copy is made only for a line that needs repair.
  std::string repaired;
  const std::string_view line = repairUtf8(bytes, repaired);
  if (line == "QUIT") return LineOutcome::quit;
  if (line == "RESET") {
    injector.resetButtons();
  } else if (line.starts_with("M ")) {
    if (const auto numbers = parseFastPathLine(line)) {
      injector.moveDirect(numbers->first, numbers->second);
    }
  } else if (line.starts_with("W ")) {
    if (const auto numbers = parseFastPathLine(line)) {
      injector.wheelDirect(numbers->first, numbers->second);
    }
  } else if (const auto command = decoder.decode(line)) {
    injector.execute(*command);
  }
  return LineOutcome::carryOn;
}
