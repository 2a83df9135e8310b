// The agent's standard streams made ready before anything is read or written, one
// implementation per platform (command/posix/, command/windows/):
// - a standard stream the parent left closed is opened on the null device, so that a closed
//   standard input reads as an empty one and output to a closed one goes nowhere (on POSIX the
//   next file opened would otherwise take its number: the connection to the X server);
// - standard output is unbuffered and binary (standard error binary too): "READY\n" reaches a
//   controller that reads a pipe at once, byte for byte (on Windows no CR is added; standard
//   input is read in binary too);
// - a controller that closes its end of standard output does not end the agent: the write
//   fails quietly (on POSIX SIGPIPE is ignored).
#pragma once

void prepareStandardStreams();

// The descriptor of standard input.
inline constexpr int kStandardInput = 0;
