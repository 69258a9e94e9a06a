"""An AT-SPI client, as a screen reader is one: finds the calculator's application on the
accessibility bus by its process, reads its tree and, when asked, presses a key through the key's
action and collects what the bus then announces. Prints what it found as JSON for the test to
judge; it judges nothing itself.

Runs under Debian's /usr/bin/python3 with python3-gi and gir1.2-atspi-2.0 (the python3 that
runs the tests may be another one):
    /usr/bin/python3 tests/e2e/atspi_client.py PID [--press NAME] [--timeout SECONDS]
"""

import argparse
import json
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

EVENTS = ("object:property-change:accessible-name", "object:text-changed")


def find_application(pid, timeout):
    deadline = time.monotonic() + timeout
    while True:
        desktop = Atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            application = desktop.get_child_at_index(index)
            if application is not None and application.get_process_id() == pid:
                return application
        if time.monotonic() >= deadline:
            return None
        time.sleep(0.1)


def extents(accessible):
    rect = accessible.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    return [rect.x, rect.y, rect.width, rect.height]


def describe(accessible):
    found = {
        "name": accessible.get_name(),
        "role": accessible.get_role_name(),
        "description": accessible.get_description(),
        "states": sorted(Atspi.StateType(state).value_nick
                         for state in accessible.get_state_set().get_states()),
        "attributes": accessible.get_attributes() or {},
        "extents": extents(accessible),
    }
    action = accessible.get_action_iface()
    if action is not None:
        found["actions"] = [{"name": action.get_action_name(number),
                             "localized": action.get_localized_name(number),
                             "description": action.get_action_description(number)}
                            for number in range(action.get_n_actions())]
    text = accessible.get_text_iface()
    if text is not None:
        found["text"] = text.get_text(0, -1)
    return found


def press(frame, name, timeout):
    """Presses the child called name by its first action and collects the events of the next
    timeout seconds, or until the entry display has announced its new name and text."""
    children = [frame.get_child_at_index(i) for i in range(frame.get_child_count())]
    key = next(child for child in children if child.get_name() == name)
    events = []

    def heard(event):
        events.append({"type": event.type, "source": event.source.get_description(),
                       "data": event.any_data if isinstance(event.any_data, str) else None})

    listener = Atspi.EventListener.new(heard)
    for event_type in EVENTS:
        listener.register(event_type)
    pressed = key.get_action_iface().do_action(0)
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout

    def announced(kind):
        return any(e["type"].startswith(kind) and e["source"] == "Eingabe" for e in events)
    while time.monotonic() < deadline and not (
            announced("object:property-change:accessible-name")
            and announced("object:text-changed:insert")):
        while context.iteration(False):
            pass
        time.sleep(0.01)
    for event_type in EVENTS:
        listener.deregister(event_type)
    return {"accepted": pressed, "events": events}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pid", type=int)
    parser.add_argument("--press")
    parser.add_argument("--timeout", type=float, default=10.0)
    args = parser.parse_args()
    application = find_application(args.pid, args.timeout)
    if application is None:
        json.dump({"application": None}, sys.stdout)
        return
    frame = application.get_child_at_index(0)
    report = {"application": {"name": application.get_name(),
                              "role": application.get_role_name(),
                              "toolkit": application.get_toolkit_name()},
              "frames": application.get_child_count(),
              "frame": describe(frame),
              "children": [describe(frame.get_child_at_index(i))
                           for i in range(frame.get_child_count())]}
    if args.press:
        report["press"] = press(frame, args.press, args.timeout)
        report["after"] = [describe(frame.get_child_at_index(i))
                           for i in range(frame.get_child_count())]
    json.dump(report, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
