// input-agent: reads one command per line from standard input and posts the matching mouse,
// scroll and keyboard events. Prints "READY" once it can take commands, and nothing else; ends
// at "QUIT", the end of input or SIGTERM, SIGINT or SIGHUP, always with status 0. (A person's
// --help or --version as the first argument is answered instead: command/program_options.h.)
//
// One way out: whatever ends the read loop, main returns and the destructors of its objects do
// the rest (on Linux, the injector's source releases held keys and buttons and restores the
// keymap; see platform/source_at_exit.h).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "command/handle_line.h"
#include "command/json_decoder.h"
#include "command/line_reader.h"
#include "command/program_options.h"
#include "command/stop_signals.h"
#include "injector/input_injector.h"
#include "platform/deliver.h"

namespace {

// A standard descriptor that our parent left closed would be the number the next open file
// gets: the connection to the X server. "READY" would then be written into the X protocol
// stream, or commands read from it. Each closed one is opened on /dev/null instead, so that a
// closed standard input reads as an empty one and output to a closed one goes nowhere.
void occupyClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = answerProgramOptions(argc, argv, INPUT_AGENT_PROGRAM)) return *status;
  occupyClosedStandardDescriptors();
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  // A controller that closes its end of our standard output must not end us.
  std::signal(SIGPIPE, SIG_IGN);
  const StopSignals stops;
  InputInjector injector;
  JsonDecoder decoder;
  std::fputs("READY\n", stdout);

  // Before it waits for input, the reader tells the platform: a motion held back while the next
  // line was already waiting (coalescing) is sent then, since that line may turn out to be
  // incomplete or the last for a while.
  LineReader reader(STDIN_FILENO, kMaxLineBytes, &stops, beforeInputWait);
  while (const auto line = reader.next()) {
    const LineOutcome outcome = handleLine(*line, injector, decoder);
    deliverPostedEvents();
    if (outcome == LineOutcome::quit) break;
  }
  return 0;
}
