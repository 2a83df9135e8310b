// Runs a program with chosen bytes on standard input and collects what it writes on standard
// output and standard error: to its end in one call (runProcess), or kept running while the
// test feeds it piece by piece, signals it or takes away its surroundings (RunningProcess).
// For tests only. Built from run_process.cc (POSIX) or run_process_windows.cc (Windows), and
// run_process_waits.cc, the waits both share.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ProcessResult {
  std::string out;
  std::string err;
  int exitStatus = -1;  // the exit code, or -1 when a signal ended the process
  int signal = 0;
  bool timedOut = false;
};

struct ProcessOptions {
  std::vector<std::pair<std::string, std::string>> setEnv;  // added to the environment
  std::vector<std::string> unsetEnv;
  bool closeStdout = false;  // start with standard output already closed by its reader
  bool noStdout = false;     // start with no descriptor 1 at all
  bool noStdin = false;      // start with no descriptor 0 at all
  std::string stdinPath;     // read standard input from this file or directory instead
  // Windows: start in a console of its own (its window hidden), to which console control events
  // can be sent; POSIX ignores it.
  bool ownConsole = false;
  // runProcess kills a program still running after this long; its result then shows SIGKILL
  // and timedOut.
  int timeoutMs = 30000;
};

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         const ProcessOptions& options = {});

// A program started with pipes on its standard streams that stays running until finish(). A
// program still running when the object goes is killed.
class RunningProcess {
 public:
  explicit RunningProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Writes all of the bytes to standard input; false when the program no longer reads it, or
  // has taken none of them for 10 s.
  bool write(std::string_view bytes);
  // Closes the reading end of the program's standard output: its writes then fail with EPIPE.
  void closeOutput();
  // Collects output until standard output (from the offset on) or standard error holds the
  // text; false when it has not appeared within the time.
  bool waitForOut(std::string_view text, int timeoutMs = 10000, std::size_t from = 0);
  bool waitForErr(std::string_view text, int timeoutMs = 10000);
  const std::string& out() const { return result_.out; }
  const std::string& err() const { return result_.err; }
  // Waits for the program's end, collecting the rest of its output; standard input stays open.
  // A program that has not ended within the time is killed (and the result shows the signal).
  ProcessResult waitForExit(int timeoutMs = 10000);
  // Closes standard input, then waits for the program's end as waitForExit does.
  ProcessResult finish(int timeoutMs = 10000);

 private:
  // Reads whatever output arrives within the time; false when there is nothing more to read.
  bool collect(int timeoutMs);
  // Collects output until `stream` (from the offset on) holds the text; false when it has not
  // appeared within the time.
  bool waitUntilHolds(const std::string& stream, std::string_view text, int timeoutMs,
                      std::size_t from);
  void closeInput();
  // Waits up to the time for the program's end and ends it then; records how it ended in the
  // result and closes the pipes.
  void awaitEnd(int timeoutMs);

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  ProcessResult result_;
};
