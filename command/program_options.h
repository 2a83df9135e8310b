// The arguments that make the agent answer a person instead of a controller. When the first
// argument is one of the options in program_options.cc (--help, --version), its answer is
// written on standard output and the program ends with the status returned. With any other
// first argument, or none (as a controller starts the agent), nothing is written and the agent
// starts as usual, ignoring its arguments: controllers may pass their own.
//
// `program` is the name the texts use, "input-agent" or "input-agent-trace" (their usage texts
// differ: the trace tool posts nothing and reads no display).
#pragma once

#include <optional>
#include <string_view>

// The exit status of the option that the first argument names (0 once its answer is written, 1
// when standard output would not take it), or nothing when the agent should start.
std::optional<int> answerProgramOptions(int argc, const char* const* argv,
                                        std::string_view program);
