// The typed form of one JSON command line: the required command name and thirteen optional
// fields. An absent field (std::nullopt) is a state of its own, distinct from 0, false and the
// empty text; decoding fills in no defaults, the readers of each field do. Texts are UTF-8.
#pragma once

#include <optional>
#include <string>

// Every optional field starts absent, so a record can be written with designated initializers
// that name only the fields it holds: InputCommand{.cmd = "move", .x = 1, .y = 2}.
struct InputCommand {
  std::string cmd;
  std::optional<double> x{};
  std::optional<double> y{};
  std::optional<std::string> button{};
  std::optional<double> dx{};
  std::optional<double> dy{};
  std::optional<std::string> code{};
  std::optional<std::string> key{};
  std::optional<std::string> action{};
  std::optional<bool> ctrl{};
  std::optional<bool> shift{};
  std::optional<bool> alt{};
  std::optional<bool> meta{};
  std::optional<std::string> shortcut{};

  bool operator==(const InputCommand&) const = default;
};
