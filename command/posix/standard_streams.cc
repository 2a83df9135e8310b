// POSIX: the standard streams made ready (see command/standard_streams.h).
#include "command/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

void prepareStandardStreams() {
  // A standard descriptor that our parent left closed would be the number the next open file
  // gets: the connection to the X server. "READY" would then be written into the X protocol
  // stream, or commands read from it. Each closed one is opened on /dev/null instead.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::signal(SIGPIPE, SIG_IGN);
}
