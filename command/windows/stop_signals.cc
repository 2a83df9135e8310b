// Windows stop requests: Ctrl+C, Ctrl+Break, and the console closing, the user logging off or
// the system shutting down (see command/stop_signals.h). The console's handler runs on a thread
// of its own: it notes the request, signals the event the wait for input watches
// (command/windows/stop_event.h) and cancels the read the loop's thread may be blocked in,
// again until that thread has seen the request, so that a read begun just after the loop's last
// look is cut short too. For a close, log-off or shut-down, Windows ends the process when the
// handler returns: the handler returns only once the StopSignals object is gone, so that what
// the agent holds has been released (at most kCloseGrace later). Ctrl+C is taken even when the
// agent was started with it switched off (as CREATE_NEW_PROCESS_GROUP does, and as a parent that
// ignores it passes on): like SIGINT on POSIX, it is a stop request whatever the starter's
// disposition.
#include "command/stop_signals.h"

#include <windows.h>

#include <atomic>

#include "command/windows/stop_event.h"

namespace {

constexpr DWORD kCloseGraceMs = 4000;  // Windows ends a closing process after about 5 s
std::atomic<bool> stopRequested{false};
std::atomic<bool> stopSeen{false};
HANDLE stopEvent = nullptr;
HANDLE loopDone = nullptr;
HANDLE loopThread = nullptr;

BOOL WINAPI onConsoleControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  stopRequested = true;
  SetEvent(stopEvent);
  for (int i = 0; i < 2000 && !stopSeen; ++i) {
    CancelSynchronousIo(loopThread);
    Sleep(1);
  }
  if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(loopDone, kCloseGraceMs);
  }
  return TRUE;
}

}  // namespace

HANDLE stopRequestEvent() { return stopEvent; }
void noteStopSeen() { stopSeen = true; }

StopSignals::StopSignals() {
  stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  loopDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &loopThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

StopSignals::~StopSignals() {
  SetEvent(loopDone);
  // The handler may still be running for a request; it needs its handles until it returns, and
  // the process ends soon after: they are left to the process's end.
}

bool StopSignals::requested() const {
  if (!stopRequested) return false;
  noteStopSeen();
  return true;
}

bool StopSignals::arrivedOrPending() const { return requested(); }
