"""A tiny GTK 3 adding machine, the comparison for what a screen reader does with a toolkit its
users trust: a window "Rechner" whose focused, read-only entry "Eingabe" shows the number, and
named buttons. Digits, + and = (or Enter) work from the keyboard; Escape clears. Every key it
receives ("key KP_Subtract") and every number it then shows ("shows 23") is written to standard
output, one a line, so that a test sees which keys a screen reader let through. Run with Debian's /usr/bin/python3, which has the GObject bindings.
"""

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

BUTTONS = [("7", "Sieben"), ("8", "Acht"), ("2", "Zwei"), ("+", "Plus"), ("=", "Gleich")]


class AddingMachine(Gtk.Window):
    def __init__(self):
        super().__init__(title="Rechner")
        self.entry = Gtk.Entry(editable=False, text="0")
        self.entry.get_accessible().set_name("Eingabe")
        grid = Gtk.Grid()
        for column, (label, name) in enumerate(BUTTONS):
            button = Gtk.Button(label=label, can_focus=False)
            button.get_accessible().set_name(name)
            grid.attach(button, column, 0, 1, 1)
        box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
        box.pack_start(self.entry, False, False, 0)
        box.pack_start(grid, False, False, 0)
        self.add(box)
        self.connect("key-press-event", self.key_pressed)
        self.connect("destroy", Gtk.main_quit)
        self.typed = ""
        self.total = 0

    def key_pressed(self, _widget, event):
        name = Gdk.keyval_name(event.keyval)
        print("key", name, flush=True)
        character = chr(Gdk.keyval_to_unicode(event.keyval) or 0)
        if character.isdigit():
            self.typed += character
            self.entry.set_text(self.typed)
        elif character in ("+", "=") or name in ("Return", "KP_Enter"):
            self.total += int(self.typed or "0")
            self.entry.set_text(str(self.total))
            self.typed = ""
            if character != "+":
                self.total = 0
        elif name == "Escape":
            self.typed, self.total = "", 0
            self.entry.set_text("0")
        print("shows", self.entry.get_text(), flush=True)
        return True


window = AddingMachine()
window.show_all()
window.entry.grab_focus()
Gtk.main()
