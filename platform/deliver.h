// One call the command loop makes after every line: every event posted while handling the line
// reaches the desktop before the next line is read. Where posting delivers at once (CoreGraphics)
// it does nothing; the X11 implementation flushes its connection, the trace its output.
#pragma once

void deliverPostedEvents();
