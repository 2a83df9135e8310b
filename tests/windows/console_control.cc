// Windows tests: console control events (see console_control.h).
#include "windows/console_control.h"

namespace {

constexpr DWORD kStandard[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

// The events reach every process on the console that is in the group, and a Ctrl+C may reach
// every process on it: this one lets them pass. It stays installed, since an event arrives on a
// thread of its own after the call that generated it has returned.
BOOL WINAPI letPass(DWORD) { return TRUE; }

// While it lives, this process is attached to another process's console in place of its own;
// its standard handles are put back afterwards (attaching replaces them with the console's).
class AttachedConsole {
 public:
  explicit AttachedConsole(DWORD pid) {
    static const bool installed = SetConsoleCtrlHandler(letPass, TRUE) != FALSE;
    (void)installed;
    for (int i = 0; i < 3; ++i) saved[i] = GetStdHandle(kStandard[i]);
    FreeConsole();
    attached = AttachConsole(pid) != FALSE;
  }
  ~AttachedConsole() {
    const DWORD error = GetLastError();
    FreeConsole();
    AttachConsole(ATTACH_PARENT_PROCESS);  // the console this process had, where there is one
    for (int i = 0; i < 3; ++i) SetStdHandle(kStandard[i], saved[i]);
    SetLastError(error);
  }
  AttachedConsole(const AttachedConsole&) = delete;
  AttachedConsole& operator=(const AttachedConsole&) = delete;

  bool attached = false;

 private:
  HANDLE saved[3] = {};
};

}  // namespace

bool underWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool sendConsoleControl(DWORD pid, DWORD event) {
  const AttachedConsole console(pid);
  return console.attached && GenerateConsoleCtrlEvent(event, pid) != FALSE;
}

bool closeConsoleOf(DWORD pid) {
  HWND window = nullptr;
  {
    const AttachedConsole console(pid);
    if (console.attached) window = GetConsoleWindow();
  }
  // Detached first: the close reaches every process on the console.
  return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) != FALSE;
}
