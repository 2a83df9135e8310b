#include "support/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "support/run_process_deadline.h"

extern char** environ;

using run_process_detail::Clock;
using run_process_detail::msLeft;

namespace {

struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    // pipe and then close-on-exec (pipe2 is Linux only): the tests spawn from one thread, so
    // no other spawn can inherit the ends in between.
    if (pipe(fd) != 0) throw std::runtime_error("pipe");
    for (const int end : fd) {
      if (fcntl(end, F_SETFD, FD_CLOEXEC) != 0) throw std::runtime_error("fcntl");
    }
  }
  ~Pipe() {
    closeEnd(0);
    closeEnd(1);
  }
  void closeEnd(int i) {
    if (fd[i] >= 0) close(fd[i]);
    fd[i] = -1;
  }
  int release(int i) {
    const int kept = fd[i];
    fd[i] = -1;
    return kept;
  }
};

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

std::vector<std::string> buildEnvironment(const ProcessOptions& options) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool drop = false;
    for (const auto& unset : options.unsetEnv) drop = drop || unset == name;
    for (const auto& [key, value] : options.setEnv) drop = drop || key == name;
    if (!drop) env.push_back(entry);
  }
  for (const auto& [key, value] : options.setEnv) env.push_back(key + "=" + value);
  return env;
}

// Starts the program with the given pipe ends as its standard streams, as the options say.
pid_t spawn(const std::vector<std::string>& argv, const ProcessOptions& options, int in, int out,
            int err) {
  // Writing to a child that has already gone must fail with EPIPE, not end the test.
  signal(SIGPIPE, SIG_IGN);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.noStdin) {
    posix_spawn_file_actions_addclose(&actions, 0);
  } else if (!options.stdinPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 0, options.stdinPath.c_str(), O_RDONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, in, 0);
  }
  if (options.noStdout) {
    posix_spawn_file_actions_addclose(&actions, 1);
  } else {
    posix_spawn_file_actions_adddup2(&actions, out, 1);
  }
  posix_spawn_file_actions_adddup2(&actions, err, 2);

  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> env = buildEnvironment(options);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  // The program starts as from a fresh shell: every signal at its default, none blocked (the
  // SIGPIPE that this process ignores, above all, would otherwise stay ignored in the program).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
  return pid;
}

bool usesInputPipe(const ProcessOptions& options) {
  return !options.noStdin && options.stdinPath.empty();
}

void recordStatus(int status, ProcessResult& result) {
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         const ProcessOptions& options) {
  Pipe in, out, err;
  const pid_t pid = spawn(argv, options, in.fd[0], out.fd[1], err.fd[1]);
  in.closeEnd(0);
  out.closeEnd(1);
  err.closeEnd(1);
  if (options.closeStdout || options.noStdout) out.closeEnd(0);

  ProcessResult result;
  std::size_t written = 0;
  if (input.empty() || !usesInputPipe(options)) in.closeEnd(1);
  const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMs);
  while (in.fd[1] >= 0 || out.fd[0] >= 0 || err.fd[0] >= 0) {
    pollfd fds[3] = {{in.fd[1], POLLOUT, 0}, {out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}};
    const int ready = poll(fds, 3, msLeft(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (in.fd[1] >= 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = write(in.fd[1], input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n < 0 || written == input.size()) in.closeEnd(1);
    }
    for (int i = 1; i < 3; ++i) {
      Pipe& p = i == 1 ? out : err;
      if (p.fd[0] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[65536];
      const ssize_t n = read(p.fd[0], buf, sizeof buf);
      if (n > 0) {
        (i == 1 ? result.out : result.err).append(buf, static_cast<std::size_t>(n));
      } else {
        p.closeEnd(0);
      }
    }
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  recordStatus(status, result);
  return result;
}

RunningProcess::RunningProcess(const std::vector<std::string>& argv,
                               const ProcessOptions& options) {
  Pipe in, out, err;
  pid_ = spawn(argv, options, in.fd[0], out.fd[1], err.fd[1]);
  if (usesInputPipe(options)) {
    in_ = in.release(1);
    fcntl(in_, F_SETFL, O_NONBLOCK);
  }
  if (!options.closeStdout && !options.noStdout) out_ = out.release(0);
  err_ = err.release(0);
}

RunningProcess::~RunningProcess() {
  closeFd(in_);
  closeFd(out_);
  closeFd(err_);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
}

bool RunningProcess::collect(int timeoutMs) {
  pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
  if (out_ < 0 && err_ < 0) return false;
  if (poll(fds, 2, timeoutMs) <= 0) return true;
  for (int i = 0; i < 2; ++i) {
    int& fd = i == 0 ? out_ : err_;
    if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buf[65536];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      (i == 0 ? result_.out : result_.err).append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      closeFd(fd);
    }
  }
  return true;
}

bool RunningProcess::write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (in_ < 0) return false;
    // Keep reading the program's output meanwhile, so that it never blocks on a full pipe.
    pollfd fds[3] = {{in_, POLLOUT, 0}, {out_, POLLIN, 0}, {err_, POLLIN, 0}};
    const int ready = poll(fds, 3, 10000);
    if (ready < 0 && errno != EINTR) return false;
    if (ready == 0) return false;
    if (fds[0].revents & POLLOUT) {
      const ssize_t n = ::write(in_, bytes.data(), bytes.size());
      if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
      if (n < 0 && errno != EAGAIN && errno != EINTR) closeFd(in_);
    } else if (fds[0].revents & (POLLERR | POLLHUP)) {
      closeFd(in_);
    }
    if ((fds[1].revents | fds[2].revents) != 0) collect(0);
  }
  return true;
}

void RunningProcess::closeOutput() { closeFd(out_); }

void RunningProcess::closeInput() { closeFd(in_); }

void RunningProcess::awaitEnd(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && msLeft(deadline) > 0) usleep(1000);
  if (done == 0) {
    kill(pid_, SIGKILL);
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
  closeFd(in_);
  closeFd(out_);
  closeFd(err_);
  recordStatus(status, result_);
}
