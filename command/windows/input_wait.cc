// Windows: the line reader's wait and read (see command/input_wait.h), on the descriptor's own
// handle. A pipe is looked at with PeekNamedPipe; a blocking wait on it is the read itself, which
// the stop handler cancels (command/windows/stop_signals.cc), so input is taken the moment it
// comes, with no polling interval. A file is always ready; a console is not ready until read.
// The read is ReadFile, in binary whatever mode the C runtime gives the descriptor: a Ctrl+Z
// byte is a byte like any other, and CR LF reaches the line reader as it is.
#include "command/input_wait.h"

#include <io.h>
#include <windows.h>

#include "command/stop_signals.h"
#include "command/windows/stop_event.h"

namespace {

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

InputWait waitForInput(int fd, const StopSignals* stops, bool block) {
  if (stops != nullptr && stops->requested()) return InputWait::stopped;
  const HANDLE handle = handleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return InputWait::ready;
  switch (GetFileType(handle)) {
    case FILE_TYPE_PIPE: {
      DWORD available = 0;
      if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr)) {
        return InputWait::ready;  // the writer is gone: the read reports the end
      }
      return available > 0 || block ? InputWait::ready : InputWait::notReady;
    }
    case FILE_TYPE_CHAR:
      return block ? InputWait::ready : InputWait::notReady;
    default:
      return InputWait::ready;
  }
}

long readInput(int fd, char* into, std::size_t size) {
  const HANDLE handle = handleOf(fd);
  const HANDLE stop = stopRequestEvent();
  if (stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
    noteStopSeen();
    return -1;
  }
  DWORD got = 0;
  const DWORD want = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
  const BOOL read = ReadFile(handle, into, want, &got, nullptr);
  if (stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
    noteStopSeen();
    return -1;
  }
  if (read) return static_cast<long>(got);
  // A pipe whose writer has gone reads as the end of input.
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}
