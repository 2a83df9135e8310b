#include "support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

Xvfb::Xvfb(int width, int height, const std::vector<std::string>& extraArgs) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string fd = std::to_string(fds[1]);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> argv = {"Xvfb", "-displayfd", fd,    "-screen", "0",
                                   screen, "-nolisten",  "tcp", "-noreset"};
  argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    pid_ = -1;
    close(fds[0]);
    return;
  }
  std::string number;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) break;
    char c;
    const ssize_t n = read(fds[0], &c, 1);
    if (n <= 0 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    kill();
    return;
  }
  display_ = ":" + number;
}

void Xvfb::kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

Xvfb::~Xvfb() { kill(); }
