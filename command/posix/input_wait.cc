// POSIX: the line reader's wait and read (see command/input_wait.h). pselect opens the stop
// signals only for the wait itself (command/posix/stop_mask.h).
#include "command/input_wait.h"

#include <sys/select.h>
#include <unistd.h>

#include <cerrno>

#include "command/posix/stop_mask.h"
#include "command/stop_signals.h"

InputWait waitForInput(int fd, const StopSignals* stops, bool block) {
  while (stops == nullptr || !stops->requested()) {
    if (fd >= FD_SETSIZE) return InputWait::ready;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    const timespec noWait{};
    const int ready = pselect(fd + 1, &readable, nullptr, nullptr, block ? nullptr : &noWait,
                              stops != nullptr ? &stopWaitMask() : nullptr);
    if (ready == 0 && !block) return InputWait::notReady;
    if (ready >= 0 || errno != EINTR) {
      return InputWait::ready;  // ready, or an error that the read itself will report
    }
  }
  return InputWait::stopped;
}

long readInput(int fd, char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, into, size);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) return -1;
  }
}
