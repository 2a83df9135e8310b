#!/usr/bin/env python3
"""A Qt 5 window with one line edit, for the application tests (PyQt5).

The window fills the output (full screen), where a Wayland compositor puts it on top and gives
it the keyboard focus; the line edit starts with the text given as the first argument and has
the keyboard focus. Prints READY once the window is on screen and active. Each line "text" on
standard input is answered with the line edit's text on one line, and "clear" empties it and
answers "cleared"; end of input closes the window.
"""
import sys

from PyQt5.QtCore import QSocketNotifier, QTimer
from PyQt5.QtWidgets import QApplication, QLineEdit


def main():
    app = QApplication(sys.argv[:1])
    entry = QLineEdit()
    entry.setText(sys.argv[1] if len(sys.argv) > 1 else "")
    entry.setWindowTitle("entry")

    def announce():
        if not entry.isActiveWindow():
            QTimer.singleShot(50, announce)
            return
        entry.setFocus()
        print("READY", flush=True)

    def answer():
        line = sys.stdin.readline()
        if not line:
            app.quit()
            return
        if line.strip() == "text":
            print(entry.text(), flush=True)
        elif line.strip() == "clear":
            entry.clear()
            print("cleared", flush=True)

    notifier = QSocketNotifier(sys.stdin.fileno(), QSocketNotifier.Read)
    notifier.activated.connect(answer)
    entry.showFullScreen()
    QTimer.singleShot(100, announce)
    sys.exit(app.exec_())


main()
