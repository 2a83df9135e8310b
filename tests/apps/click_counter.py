#!/ usr / bin / env python3
"""A full-screen window that reports how its toolkit counts clicks, for the double-click tests.

  click_counter.py gtk|qt

GTK 3 or Qt 5 (on the display or Wayland session of the environment) shows one window covering
the output and prints READY once it is on screen. Then one line per left-button event as the
toolkit hands it on: "press" for a press, "double" when the toolkit takes a press for the
second of a double click (GTK's 2BUTTON_PRESS, Qt's mouseDoubleClickEvent; both also hand on
presses of their own around it), and for GTK "triple" for a 3BUTTON_PRESS (a press within
twice the double-click time of a double click's second press: GTK then starts counting anew). Standard output is flushed after every line; end of input
closes the window.
"""
import sys


def say(line):
    print(line, flush=True)


def gtk():
    import gi

    gi.require_version("Gtk", "3.0")
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk, GLib, Gtk

    window = Gtk.Window(title="click counter")
    window.set_default_size(800, 600)
    window.fullscreen()
    area = Gtk.DrawingArea()
    area.add_events(Gdk.EventMask.BUTTON_PRESS_MASK)
    window.add(area)

    def pressed(_widget, event):
        if event.button == 1 and event.type == Gdk.EventType.BUTTON_PRESS:
            say("press")
        elif event.button == 1 and event.type == Gdk.EventType._2BUTTON_PRESS:
            say("double")
        elif event.button == 1 and event.type == Gdk.EventType._3BUTTON_PRESS:
            say("triple")
        return False

    def closed(*_):
        if sys.stdin.readline():
            return True
        Gtk.main_quit()
        return False

    area.connect("button-press-event", pressed)
    window.connect("destroy", Gtk.main_quit)
    window.connect("map-event", lambda *_: GLib.timeout_add(200, lambda: say("READY")))
    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, closed)
    window.show_all()
    Gtk.main()


def qt():
    from PyQt5.QtCore import QSocketNotifier, Qt, QTimer
    from PyQt5.QtWidgets import QApplication, QWidget

    class Counter(QWidget):
        def mousePressEvent(self, event):
            if event.button() == Qt.LeftButton:
                say("press")

        def mouseDoubleClickEvent(self, event):
            if event.button() == Qt.LeftButton:
                say("double")

    app = QApplication(sys.argv[:1])
    window = Counter()
    window.setWindowTitle("click counter")
    window.resize(800, 600)
    window.showFullScreen()

    def closed(*_):
        if not sys.stdin.readline():
            app.quit()

    notifier = QSocketNotifier(sys.stdin.fileno(), QSocketNotifier.Read)
    notifier.activated.connect(closed)
    QTimer.singleShot(500, lambda: say("READY"))
    app.exec_()


if __name__ == "__main__":
    {"gtk": gtk, "qt": qt}[sys.argv[1]]()
