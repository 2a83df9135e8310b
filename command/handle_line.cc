#include "command/handle_line.h"

#include "command/fast_path.h"

LineOutcome handleLine(std::string_view line, InputInjector& injector, JsonDecoder& decoder) {
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
