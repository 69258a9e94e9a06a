"""How soon a program answers a screen reader's question after it has been idle: ms from asking
the program's accessible application object for its name over the accessibility bus to the
answer, each question after some seconds without any. Run with Debian's /usr/bin/python3, which
has the GObject bindings.

    atspi_answer.py PID COUNT QUIET_SECONDS  ->  one JSON list of ms on standard output
"""

import json
import sys
import time

import gi
from gi.repository import Gio, GLib

ROOT = "/org/a11y/atspi/accessible/root"
ACCESSIBLE = "org.a11y.atspi.Accessible"
TIMEOUT_MS = 5000


def call(bus, name, path, interface, method, args, reply):
    return bus.call_sync(name, path, interface, method, args, GLib.VariantType(reply),
                         Gio.DBusCallFlags.NONE, TIMEOUT_MS, None).unpack()


def accessibility_bus():
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address, = call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                    None, "(s)")
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)


def program_bus_name(bus, pid, timeout=10.0):
    """The unique name of the program's connection, once it has registered with the registry."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        children, = call(bus, "org.a11y.atspi.Registry", ROOT, ACCESSIBLE, "GetChildren", None,
                         "(a(so))")
        for name, _path in children:
            owner, = call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                          GLib.Variant("(s)", (name,)), "(u)")
            if owner == pid:
                return name
        time.sleep(0.05)
    raise SystemExit(f"process {pid} did not appear on the accessibility bus")


def main():
    pid, count, quiet = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
    bus = accessibility_bus()
    name = program_bus_name(bus, pid)
    question = GLib.Variant("(ss)", (ACCESSIBLE, "Name"))
    answers = []
    for _ in range(count):
        time.sleep(quiet)
        asked = time.perf_counter()
        call(bus, name, ROOT, "org.freedesktop.DBus.Properties", "Get", question, "(v)")
        answers.append((time.perf_counter() - asked) * 1000)
    print(json.dumps(answers))


if __name__ == "__main__":
    main()
