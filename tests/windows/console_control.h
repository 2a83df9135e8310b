// Windows tests: console control events for a program started with a console of its own
// (ProcessOptions::ownConsole), sent as a controller sends them, and the closing of that console
// as a person closes its window. The test program attaches to the program's console only for the
// call, keeps its own standard handles, and ignores the events itself.
#pragma once

#include <windows.h>

// Whether the tests run under Wine (its ntdll has wine_get_version).
bool underWine();

// Generates CTRL_C_EVENT or CTRL_BREAK_EVENT for the process group that `pid` leads, on that
// process's console. False when the event could not be generated (GetLastError says why).
bool sendConsoleControl(DWORD pid, DWORD event);

// Closes the window of `pid`'s console (WM_CLOSE); false when the console has no window.
bool closeConsoleOf(DWORD pid);
