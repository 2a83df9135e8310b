// input-agent: reads one command per line from standard input and posts the matching mouse,
// scroll and keyboard events. Prints "READY" once it can take commands, and nothing else; ends
// at "QUIT" or the end of input, always with status 0.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "command/handle_line.h"
#include "command/json_decoder.h"
#include "command/line_reader.h"
#include "injector/input_injector.h"
#include "platform/deliver.h"

namespace {
// Created once before anything is read and kept to the end of the process.
InputInjector* injector = nullptr;
JsonDecoder* decoder = nullptr;
}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  // A controller that closes its end of our standard output must not end us.
  std::signal(SIGPIPE, SIG_IGN);
  injector = new InputInjector;
  decoder = new JsonDecoder;
  std::fputs("READY\n", stdout);

  LineReader reader(STDIN_FILENO);
  while (const auto line = reader.next()) {
    const LineOutcome outcome = handleLine(*line, *injector, *decoder);
    deliverPostedEvents();
    if (outcome == LineOutcome::quit) break;
  }
  return 0;
}
