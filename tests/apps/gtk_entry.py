#!/usr/bin/env python3
"""A GTK 3 window with one text entry, for the application tests.

The window covers the top left of the screen, or with --fullscreen (first) the whole output, where
a Wayland compositor puts it on top and gives it the keyboard focus; the entry starts with the
text given as the next argument and has the keyboard focus (GTK then selects all of it). Prints READY once the window is
on screen. Each line "text" on standard input is answered with the entry's text on one line, and
"clear" empties the entry and answers "cleared"; end of input closes the window.
"""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402


def main():
    args = sys.argv[1:]
    fullscreen = args[:1] == ["--fullscreen"]
    if fullscreen:
        args = args[1:]
    window = Gtk.Window(title="entry")
    window.set_default_size(600, 80)
    window.move(0, 0)
    if fullscreen:
        window.fullscreen()
    entry = Gtk.Entry()
    entry.set_text(args[0] if args else "")
    window.add(entry)
    window.connect("destroy", Gtk.main_quit)

    def announce(*_):
        entry.grab_focus()
        print("READY", flush=True)
        return False

    window.connect("map-event", lambda *_: GLib.timeout_add(100, announce))

    def answer(source, _condition):
        line = source.readline()
        if not line:
            Gtk.main_quit()
            return False
        if line.strip() == "text":
            print(entry.get_text(), flush=True)
        elif line.strip() == "clear":
            entry.set_text("")
            print("cleared", flush=True)
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, answer)
    window.show_all()
    Gtk.main()


main()
