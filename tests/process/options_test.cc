// The agent and the trace tool asked by a person: --help and --version as the first argument
// answer on standard output, exit 0 and never start the agent (no READY, no platform call, no
// line read). Every other argument list leaves the agent as a controller starts it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

struct Program {
  const char* path;
  std::string name;
};
const Program kPrograms[] = {{AGENT, "input-agent"}, {TRACE_AGENT, "input-agent-trace"}};

ProcessOptions quiet() {
  ProcessOptions options;
  // No display and no trace faults: the agent, if it starts, has nothing to reach.
  options.unsetEnv = {"DISPLAY", "INPUT_AGENT_TRACE_FAIL", "INPUT_AGENT_TRACE_NULL_SOURCE"};
  return options;
}

// Runs the program with the arguments and a line that would move the pointer.
ProcessResult run(const Program& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {program.path};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return runProcess(argv, "M 1 2\nQUIT\n", quiet());
}

TEST(Options, VersionIsTheProgramsNameAndTheProjectVersion) {
  for (const Program& program : kPrograms) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--version"}, {"--version", "--help", "extra"}}) {
      const ProcessResult result = run(program, arguments);
      EXPECT_EQ(result.exitStatus, 0) << program.name;
      EXPECT_EQ(result.out, program.name + " " + PROJECT_VERSION + "\n");
      EXPECT_EQ(result.err, "") << program.name;
    }
  }
}

TEST(Options, HelpSaysHowAControllerStartsTheAgentAndWhatItReads) {
  for (const Program& program : kPrograms) {
    const ProcessResult result = run(program, {"--help"});
    EXPECT_EQ(result.exitStatus, 0) << program.name;
    EXPECT_EQ(result.err, "") << program.name;
    const std::string& text = result.out;
    EXPECT_EQ(text.rfind("Usage: " + program.name + "\n", 0), 0u) << text;
    std::vector<std::string> mentions = {"without arguments", "READY",          "--help",
                                         "--version",         "input-agent(1)", "protocol.md"};
    if (program.name == "input-agent") {
      mentions.insert(mentions.end(), {"WAYLAND_DISPLAY", "DISPLAY", "INPUT_AGENT_BACKEND"});
    }
    for (const std::string& mention : mentions) {
      EXPECT_NE(text.find(mention), std::string::npos) << program.name << ": " << mention;
    }
    // It fits a terminal of 80 columns.
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(line.size(), 80u) << program.name << ": " << line;
    }
  }
}

// Controllers may pass arguments of their own: only an option as the first argument is one.
TEST(Options, OtherArgumentsAreIgnored) {
  const std::vector<std::vector<std::string>> cases = {
      {},          {""},     {"-h"},        {"-V"},          {"--HELP"},          {"--helpx"},
      {"--help="}, {"help"}, {"--verbose"}, {"x", "--help"}, {"--", "--version"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    const std::string shown = arguments.empty() ? "(none)" : "'" + arguments[0] + "' ...";
    const ProcessResult result = run(kPrograms[1], arguments);
    EXPECT_EQ(result.exitStatus, 0) << shown;
    EXPECT_EQ(result.out, "READY\n") << shown;
    EXPECT_NE(result.err.find("CGEventCreateMouseEvent src 5 1 2 0\n"), std::string::npos)
        << shown << ": " << result.err;
  }
  // The real agent with nothing to reach starts too (on macOS it would post to the desktop).
#if !defined(__APPLE__)
  const ProcessResult result = run(kPrograms[0], {"--verbose"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, "READY\n");
#endif
}

// An answer that cannot be written is not a success: a full disk gives status 1.
TEST(Options, AnAnswerStandardOutputDoesNotTakeFails) {
  for (const char* option : {"--help", "--version"}) {
    const ProcessResult result =
        runProcess({"/bin/sh", "-c", std::string("exec \"$0\" ") + option + " >/dev/full", AGENT},
                   "", quiet());
    EXPECT_EQ(result.exitStatus, 1) << option;
  }
}

}  // namespace
