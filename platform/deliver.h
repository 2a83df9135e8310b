// One call the command loop makes after every line, and again before it waits for more input:
// every event posted while handling the line reaches the desktop before the next line is read
// (a route may hold a coalesced motion while the next line is already waiting, and sends it at
// the latest at the second call). Where posting delivers at once (CoreGraphics)
// it does nothing; the X11 implementation flushes its connection, the trace its output.
#pragma once

void deliverPostedEvents();
