#!/usr/bin/env python3
"""Makes the forwarded session fixture of the replay tests (forwarded_session.txt and
forwarded_session_reference.json next to this file) again.

On a private Xvfb, Chromium (X11) shows the forwarding client (examples/forwarding/index.html),
and a person made of xdotool commands (real X input through XTest) types, edits, selects, copies
and pastes, holds Shift and a letter, presses Alt+Tab and a lone Super, clicks, drags,
double-clicks, right-clicks and scrolls. The
lines the client made and their times (window.forwardedLines, window.forwardedTimes, read over
DevTools) become forwarded_session.txt: one line each, the milliseconds since the first line,
a space, and the agent line.

The same person then acts once more on the receiving page (replay_page.html) in the same
Chromium; what the page recorded (its events and the text area's text) is the reference the
replays are compared with: forwarded_session_reference.json.

Needs Xvfb, chromium and xdotool (scripts/setup test bench). Run: tests/apps/record_forwarded_session.py
"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CLIENT = "file://" + str(ROOT / "examples" / "forwarding" / "index.html")
RECEIVER = "file://" + str(HERE / "replay_page.html")


class DevTools:
    """Chromium on an X display, one app window at the top left, driven over
    --remote-debugging-pipe (JSON messages ending in NUL on descriptors 3 and 4)."""

    def __init__(self, display, url):
        self.profile = tempfile.mkdtemp(prefix="record-session-profile-")
        to_read, self.to_browser = os.pipe()
        self.from_browser, from_write = os.pipe()

        def descriptors():
            os.dup2(to_read, 3)
            os.dup2(from_write, 4)

        self.process = subprocess.Popen(
            ["chromium", "--no-sandbox", "--ozone-platform=x11", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-gpu", "--user-data-dir=" + self.profile, "--remote-debugging-pipe",
             "--window-position=0,0", "--window-size=800,600", "--app=" + url],
            env={**os.environ, "DISPLAY": display}, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, preexec_fn=descriptors, pass_fds=(3, 4),
            start_new_session=True)
        os.close(to_read)
        os.close(from_write)
        self.received = b""
        self.last_id = 0
        deadline = time.monotonic() + 30
        target = None
        while target is None and time.monotonic() < deadline:
            for info in self.call("Target.getTargets")["result"]["targetInfos"]:
                if info["type"] == "page":
                    target = info["targetId"]
            time.sleep(0.05)
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["result"]["sessionId"]
        self.wait_for(url)

    def call(self, method, params=None, session=None):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" in self.received:
                raw, self.received = self.received.split(b"\0", 1)
                answer = json.loads(raw)
                if answer.get("id") == self.last_id:
                    return answer
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                raise RuntimeError("Chromium closed its DevTools pipe")
            self.received += chunk

    def evaluate(self, expression):
        answer = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                           self.session)
        return answer["result"]["result"].get("value")

    def wait_for(self, url):
        deadline = time.monotonic() + 30
        while self.evaluate("location.href + ' ' + document.readyState") != url + " complete":
            if time.monotonic() > deadline:
                raise RuntimeError("the page did not load: " + url)
            time.sleep(0.02)

    def navigate(self, url):
        self.evaluate("location.href = " + json.dumps(url))
        self.wait_for(url)

    def close(self):
        os.killpg(self.process.pid, 9)
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def person(display):
    """The person: real X input through XTest, at a person's pace."""
    def x(*args):
        subprocess.run(["xdotool", *args], env={**os.environ, "DISPLAY": display}, check=True)

    def keys(*names):
        x("key", "--delay", "140", *names)

    x("mousemove", "400", "100")
    time.sleep(0.3)
    # Two words with a typo, mended with Backspace.
    keys("h", "e", "l", "l", "o", "space", "w", "o", "r", "l", "x")
    time.sleep(0.3)
    keys("BackSpace", "d")
    time.sleep(0.4)
    # Ctrl+Shift+Left selects "world"; Ctrl+C copies it; End, space, Ctrl+V pastes it.
    x("keydown", "Control_L")
    time.sleep(0.15)
    x("keydown", "Shift_L")
    time.sleep(0.15)
    x("key", "Left")
    time.sleep(0.15)
    x("keyup", "Shift_L")
    time.sleep(0.1)
    x("key", "c")
    time.sleep(0.15)
    x("keyup", "Control_L")
    time.sleep(0.3)
    keys("End", "space")
    time.sleep(0.2)
    x("keydown", "Control_L")
    time.sleep(0.15)
    x("key", "v")
    time.sleep(0.15)
    x("keyup", "Control_L")
    time.sleep(0.3)
    # Shift held over three letters.
    keys("space")
    x("keydown", "Shift_L")
    time.sleep(0.2)
    keys("a", "b", "c")
    time.sleep(0.2)
    x("keyup", "Shift_L")
    time.sleep(0.3)
    # z held for 1.2 s: the X server repeats it.
    x("keydown", "z")
    time.sleep(1.2)
    x("keyup", "z")
    time.sleep(0.4)
    # Alt+Tab and a lone Super (no window manager on the display takes them: the page does).
    x("keydown", "Alt_L")
    time.sleep(0.15)
    x("key", "Tab")
    time.sleep(0.15)
    x("keyup", "Alt_L")
    time.sleep(0.3)
    x("key", "Super_L")
    time.sleep(0.4)
    # Two single clicks well apart in place and time, a drag, a double click, a right click.
    x("mousemove", "200", "300", "click", "1")
    time.sleep(1.0)
    x("mousemove", "400", "300", "click", "1")
    time.sleep(1.0)
    x("mousemove", "100", "400", "mousedown", "1")
    for step in range(1, 11):
        time.sleep(0.03)
        x("mousemove", str(100 + 20 * step), str(400 + 5 * step))
    time.sleep(0.1)
    x("mouseup", "1")
    time.sleep(1.0)
    x("mousemove", "600", "300", "click", "--repeat", "2", "--delay", "120", "1")
    time.sleep(1.0)
    x("mousemove", "500", "400", "click", "3")
    time.sleep(0.6)
    # Three notches down, a click, three notches up. (A receiver may merge wheel events that
    # come together, adding their deltas: the click keeps the two directions apart.)
    x("mousemove", "400", "350")
    for button in ["5", "5", "5"]:
        time.sleep(0.15)
        x("click", button)
    time.sleep(0.6)
    x("click", "1")
    for button in ["4", "4", "4"]:
        time.sleep(0.15)
        x("click", button)
    time.sleep(0.5)
    keys("period")
    time.sleep(0.5)


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                              stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read)
    return server, ":" + number.decode().strip()


def settle(browser, display, recorded):
    """Chromium may drop the first input after it starts: Shift taps until the page sees one,
    then what they made is cleared."""
    env = {**os.environ, "DISPLAY": display}
    subprocess.run(["xdotool", "mousemove", "400", "100"], env=env, check=True)
    deadline = time.monotonic() + 10
    while browser.evaluate(recorded + ".length") == 0:
        if time.monotonic() > deadline:
            raise RuntimeError("Chromium takes no input")
        subprocess.run(["xdotool", "key", "Shift_L"], env=env, check=True)
        time.sleep(0.3)
    time.sleep(0.3)


def write_reference(reference):
    """The reference as JSON, one event a line."""
    events = ",\n".join(json.dumps(event, ensure_ascii=False) for event in reference["events"])
    with open(HERE / "forwarded_session_reference.json", "w", encoding="utf-8") as out:
        out.write('{"text": ' + json.dumps(reference["text"], ensure_ascii=False) +
                  ',\n"events": [\n' + events + "\n]}\n")


def main():
    server, display = start_xvfb()
    browser = None
    try:
        browser = DevTools(display, CLIENT)
        settle(browser, display, "forwardedLines")
        browser.evaluate("forwardedLines.length = 0; forwardedTimes.length = 0; text.focus()")
        person(display)
        lines = browser.evaluate("forwardedLines")
        times = browser.evaluate("forwardedTimes")

        browser.navigate(RECEIVER)
        settle(browser, display, "events")
        browser.evaluate("events.length = 0; text.value = ''; text.focus()")
        person(display)
        time.sleep(0.5)
        reference = {"events": browser.evaluate("events"), "text": browser.evaluate("text.value")}
    finally:
        if browser:
            browser.close()
        server.kill()
        server.wait()

    with open(HERE / "forwarded_session.txt", "w", encoding="utf-8") as out:
        out.write("# A person's session as the forwarding client (examples/forwarding/) sent it: the\n"
                  "# milliseconds since the first line, then the agent line. Made by\n"
                  "# tests/apps/record_forwarded_session.py.\n")
        for line, when in zip(lines, times):
            out.write(f"{when - times[0]:.1f} {line}\n")
    write_reference(reference)
    print(f"{len(lines)} lines, {len(reference['events'])} reference events, text "
          f"{reference['text']!r}")


if __name__ == "__main__":
    sys.exit(main())
