// The options a person may give the agent (see program_options.h). Each is one row of the
// table in programOptions(): its name as the first argument, its line in --help, and what it
// does; --help lists the rows in table order.
#include "command/program_options.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "platform/probe.h"

#ifndef INPUT_AGENT_VERSION
#error "INPUT_AGENT_VERSION (the project version) is set by CMakeLists.txt"
#endif

namespace {

using Arguments = std::span<const char* const>;

struct ProgramOption {
  std::string_view name;
  std::string_view summary;
  // Writes the answer; `rest` holds the arguments after the option. Returns the exit status.
  int (*answer)(std::string_view program, Arguments rest);
};

std::span<const ProgramOption> programOptions();

// 0 when standard output took all of the text, 1 when it did not (a full disk, a closed pipe).
int writeOut(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return written && std::fflush(stdout) == 0 ? 0 : 1;
}

bool isTrace(std::string_view program) { return program.ends_with("-trace"); }

int answerHelp(std::string_view program, Arguments) {
  const std::string name(program);
  std::string text = "Usage: " + name + "\n       " + name + " OPTION\n\n";
  if (isTrace(program)) {
    text +=
        "The same agent as input-agent, but every platform call it would make is written\n"
        "as a line on standard error and no event is posted: for tests and dry runs.\n\n";
  } else {
    text +=
        "Turns text commands, one per line on standard input, into synthetic mouse,\n"
        "scroll and keyboard events on the local desktop.\n\n";
  }
  text +=
      "A controlling process starts it without arguments, waits for the line READY and\n"
      "writes commands:\n"
      "  M x y          move the pointer to (x, y)\n"
      "  W dx dy        scroll by pixels (positive dy scrolls down)\n"
      "  {\"cmd\":...}    a JSON command: move, down, up, dblclick, wheel, key, shortcut\n"
      "  RESET          release the mouse buttons held\n"
      "  QUIT           end, as the end of input does\n"
      "Nothing but READY is written, bad lines are dropped silently, and the exit\n"
      "status is 0. Arguments other than the options below are ignored.\n\n"
      "Options:\n";
  std::size_t width = 0;
  for (const ProgramOption& option : programOptions()) width = std::max(width, option.name.size());
  for (const ProgramOption& option : programOptions()) {
    text += "  " + std::string(option.name) + std::string(width + 2 - option.name.size(), ' ') +
            std::string(option.summary) + "\n";
  }
  if (!isTrace(program)) {
    text +=
        "\nEnvironment (Linux):\n"
        "  WAYLAND_DISPLAY      a Wayland session: the wlroots, KDE and GNOME routes are\n"
        "                       tried in this order\n"
        "  DISPLAY              the X display to post to through XTest otherwise\n"
        "  INPUT_AGENT_BACKEND  wlroots, kde, gnome or x11: that route and no other\n"
        "On macOS the controlling application needs the Accessibility permission.\n";
  }
  text +=
      "\nThe protocol in full: the manual page input-agent(1), and protocol.md (in\n"
      "share/doc/input-agent/ where the agent is installed, in docs/ of its source).\n";
  return writeOut(text);
}

// The platform's findings (platform/probe.h): 0 when a route was found, 1 when none.
int answerProbe(std::string_view, Arguments rest) {
  const bool json = std::find_if(rest.begin(), rest.end(), [](const char* argument) {
                      return argument != nullptr && std::string_view(argument) == "--json";
                    }) != rest.end();
  const int status = probePlatform(json, stdout);
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? status : 1;
}

int answerVersion(std::string_view program, Arguments) {
  return writeOut(std::string(program) + " " + INPUT_AGENT_VERSION + "\n");
}

std::span<const ProgramOption> programOptions() {
  static constexpr ProgramOption kOptions[] = {
      {"--help", "print this text and exit", answerHelp},
      {"--version", "print the version and exit", answerVersion},
      {"--probe", "say which route would be taken here and why; exit 1 for none", answerProbe},
      {"--probe --json", "the same as one JSON object", answerProbe},
  };
  return kOptions;
}

}  // namespace

std::optional<int> answerProgramOptions(int argc, const char* const* argv,
                                        std::string_view program) {
  if (argc < 2 || argv[1] == nullptr) return std::nullopt;
  const std::string_view first = argv[1];
  for (const ProgramOption& option : programOptions()) {
    if (first == option.name) {
      return option.answer(program, Arguments(argv + 2, static_cast<std::size_t>(argc - 2)));
    }
  }
  return std::nullopt;
}
