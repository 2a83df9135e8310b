// Windows: what the wait for input (command/windows/input_wait.cc) shares with the console's
// stop handler (command/windows/stop_signals.cc): the event set at a stop request (null before
// the StopSignals object is made), and the note that the loop's thread has seen the request, after
// which the handler stops cancelling its reads.
#pragma once

#include <windows.h>

HANDLE stopRequestEvent();
void noteStopSeen();
