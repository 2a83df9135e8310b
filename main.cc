// input-agent: reads one command per line from standard input and posts the matching mouse,
// scroll and keyboard events. Prints "READY" once it can take commands, and nothing else; ends
// at "QUIT", the end of input or a stop request (SIGTERM, SIGINT or SIGHUP; on Windows Ctrl+C,
// Ctrl+Break or the console closing), always with status 0. (A person's --help, --version or
// --probe as the first argument is answered instead: command/program_options.h.)
//
// One way out: whatever ends the read loop, main returns and the destructors of its objects do
// the rest (on Linux and Windows, the injector's source releases held keys and buttons and the
// device puts back what it changed; see platform/source_at_exit.h).
#include <cstdio>

#include "command/handle_line.h"
#include "command/json_decoder.h"
#include "command/line_reader.h"
#include "command/program_options.h"
#include "command/standard_streams.h"
#include "command/stop_signals.h"
#include "injector/input_injector.h"
#include "platform/deliver.h"

int main(int argc, char** argv) {
  if (const auto status = answerProgramOptions(argc, argv, INPUT_AGENT_PROGRAM)) return *status;
  prepareStandardStreams();
  const StopSignals stops;
  InputInjector injector;
  JsonDecoder decoder;
  std::fputs("READY\n", stdout);

  // Before it waits for input, the reader tells the platform: a motion held back while the next
  // line was already waiting (coalescing) is sent then, since that line may turn out to be
  // incomplete or the last for a while.
  LineReader reader(kStandardInput, kMaxLineBytes, &stops, beforeInputWait);
  while (const auto line = reader.next()) {
    const LineOutcome outcome = handleLine(*line, injector, decoder);
    deliverPostedEvents();
    if (outcome == LineOutcome::quit) break;
  }
  return 0;
}
