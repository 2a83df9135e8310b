#!/usr/bin/env python3
"""A GTK 3 window that scrolls, for the wheel tests: full screen, one scrolled window over a
canvas far larger than the screen, which starts in the middle of the canvas so that it can
scroll in every direction.

Prints READY once the window is on screen and scrolled to its middle. Each line "where" on
standard input is answered with the horizontal and vertical scroll offsets, in pixels, on one
line; end of input closes the window.
"""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

CANVAS = 100000


def main():
    window = Gtk.Window(title="scroller")
    scrolled = Gtk.ScrolledWindow()
    scrolled.set_kinetic_scrolling(False)
    canvas = Gtk.DrawingArea()
    canvas.set_size_request(CANVAS, CANVAS)
    scrolled.add(canvas)
    window.add(scrolled)
    window.connect("destroy", Gtk.main_quit)
    window.fullscreen()

    def announce():
        for adjustment in (scrolled.get_hadjustment(), scrolled.get_vadjustment()):
            adjustment.set_value(CANVAS / 2)
        print("READY", flush=True)
        return False

    window.connect("map-event", lambda *_: GLib.timeout_add(300, announce))

    def answer(source, _condition):
        line = source.readline()
        if not line:
            Gtk.main_quit()
            return False
        if line.strip() == "where":
            print("%g %g" % (scrolled.get_hadjustment().get_value(),
                             scrolled.get_vadjustment().get_value()), flush=True)
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, answer)
    window.show_all()
    Gtk.main()


main()
