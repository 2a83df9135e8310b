// Runs a program to its end with the given bytes on standard input, and collects what it writes
// on standard output and standard error. For tests only.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ProcessResult {
  std::string out;
  std::string err;
  int exitStatus = -1;  // the exit code, or -1 when a signal ended the process
  int signal = 0;
};

struct ProcessOptions {
  std::vector<std::pair<std::string, std::string>> setEnv;  // added to the environment
  std::vector<std::string> unsetEnv;
  bool closeStdout = false;  // start with standard output already closed by its reader
};

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input,
                         const ProcessOptions& options = {});
