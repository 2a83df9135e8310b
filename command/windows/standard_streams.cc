// Windows: the standard streams made ready (see command/standard_streams.h).
#include "command/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace {

// A standard handle the parent did not give is opened on NUL, for the C runtime's descriptor
// and for the process's handle alike.
void occupy(DWORD which, int fd, FILE* stream, bool input) {
  const HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && _get_osfhandle(fd) != -1) return;
  FILE* opened = nullptr;
  if (freopen_s(&opened, "NUL", input ? "rb" : "wb", stream) != 0 || opened == nullptr) return;
  SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(opened))));
}

}  // namespace

void prepareStandardStreams() {
  // No error dialog box ever: the agent runs unattended.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  occupy(STD_INPUT_HANDLE, 0, stdin, true);
  occupy(STD_OUTPUT_HANDLE, 1, stdout, false);
  occupy(STD_ERROR_HANDLE, 2, stderr, false);
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
  _setmode(2, _O_BINARY);  // the trace tool writes there
  std::setvbuf(stdout, nullptr, _IONBF, 0);
}
