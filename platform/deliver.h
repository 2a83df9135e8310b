// Two calls the command loop makes to the platform: deliverPostedEvents after every line, so that
// every event posted while handling the line reaches the desktop before the next line is read;
// beforeInputWait each time the agent is about to wait for input, so that nothing held back for
// a line that was already waiting (a coalesced motion) stays back while the agent sits idle.
// Where posting delivers at once (CoreGraphics) both do nothing; the trace writes out its
// buffered lines; the device platforms flush the route's connection.
#pragma once

void deliverPostedEvents();
void beforeInputWait();
