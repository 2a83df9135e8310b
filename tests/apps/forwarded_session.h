// A person's session forwarded by the browser client (examples/forwarding/), replayed through the
// agent into Chromium showing replay_page.html, and compared with what the same person's real
// input made on that page (tests/apps/forwarded_session.txt and
// forwarded_session_reference.json, made by record_forwarded_session.py).
//
// What is compared is what the agent controls, exactly: the keydowns and keyups that are not
// the receiver's own repeats, in order (code and key), with no second press of a key before its
// release; the text area's text, a held key's run of characters counted as one (the receiver
// repeats it at its own pace); the mouse button events in order with their button and detail,
// the presses and releases within 1 px of the person's; and, for each run of wheel events
// between two other events, the direction of its sum on each axis (a receiver may merge wheel
// events that come together, adding their deltas; two such runs in a row that go the same way
// count as one, since a receiver may hand a notch on after a later click). At the person's pace
// the held key must be repeated by the receiver.
#pragma once

#include <string>
#include <vector>

#include "apps/chromium.h"
#include "support/run_process.h"

struct ForwardedLine {
  double ms;  // since the session's first line
  std::string line;
};

enum class Pace { kPersons, kAllAtOnce };

// The lines of forwarded_session.txt.
std::vector<ForwardedLine> forwardedSession();

// Replays the session into the receiving page of `browser` through an agent started with
// `agentOptions`, at the pace, and checks what arrived against the reference (gtest
// expectations). The page is cleared first; where it sits on the screen is found by a motion
// the agent makes.
void replayAndCompare(Chromium& browser, const ProcessOptions& agentOptions, Pace pace);

// "ééüx" typed on the US international layout, as the sender's Chromium reports it: a dead key
// and the letter after it as "Process" keydowns inside a composition (the dead key's keyup as
// "Dead"), the composed letter in compositionend; é made with AltGr (a keydown of AltGraph with
// an empty code, then the letter with the AltGraph state); and no keyup for a Shift held over a
// dead key. deadKeySessionLines dispatches those DOM events to the forwarding client
// (examples/forwarding/) that `client` shows and returns the lines it made, which must type
// exactly kDeadKeySessionText on the remote.
std::vector<std::string> deadKeySessionLines(Chromium& client);
inline constexpr char kDeadKeySessionText[] = "ééüx";
