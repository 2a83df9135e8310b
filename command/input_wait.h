// The two calls by which the line reader takes bytes from its descriptor, one implementation per
// platform (command/posix/, command/windows/): a wait that a stop request ends, and the read.
//
// - waitForInput with `block` waits until the descriptor can be read or a stop request comes
//   (StopSignals, when given); without `block` it only looks. "ready" also stands for an error
//   or the end of input, which the read then reports. On a descriptor it cannot wait on (no
//   pipe, file or terminal it knows) it says "ready", and the read blocks.
// - readInput reads what is there, up to `size` bytes, in binary (no translation of line ends
//   or of any byte): the count, 0 at the end of input, -1 on an error or when a stop request cut
//   the read short. An interrupted read that can be retried is retried.
#pragma once

#include <cstddef>

class StopSignals;

enum class InputWait { ready, notReady, stopped };

InputWait waitForInput(int fd, const StopSignals* stops, bool block);
long readInput(int fd, char* into, std::size_t size);
