"""An AT-SPI client, as a screen reader is one: finds the calculator's application on the
accessibility bus by its process, reads its tree and, when asked, presses keys through their
actions one after another and collects what the bus announces after each. Prints what it found as JSON for the test to
judge; it judges nothing itself.

With --await-focus it reads nothing: it prints "listening" once its listener is registered and
then waits for the object a screen reader is on to take the focus, as it does when the
calculator becomes active.

Runs under Debian's /usr/bin/python3 with python3-gi and gir1.2-atspi-2.0 (the python3 that
runs the tests may be another one):
    /usr/bin/python3 tests/e2e/atspi_client.py PID [--press NAME... | --await-focus]
        [--timeout SECONDS]
"""

import argparse
import json
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

EVENTS = ("object:property-change:accessible-name", "object:text-changed",
          "object:announcement")
# How long the bus stays quiet before a press's events count as complete.
QUIET_SECONDS = 0.5


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


# at-spi2-core 2.56 names a push button "button"; the tests know it by its older name.
ROLE_NAMES = {"button": "push button"}


def describe(accessible):
    role = accessible.get_role_name()
    found = {
        "name": accessible.get_name(),
        "role": ROLE_NAMES.get(role, role),
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
                             "description": action.get_action_description(number),
                             "key": action.get_key_binding(number)}
                            for number in range(action.get_n_actions())]
    text = accessible.get_text_iface()
    if text is not None:
        # Through the interface: from 2.56 on the object's own get_text takes no offsets.
        found["text"] = Atspi.Text.get_text(text, 0, -1)
        run = text.get_attribute_run(0, False)
        found["run"] = [run.start_offset, run.end_offset]
    return found


class Events:
    """The events of some types, as they arrive, with the description of their source (which
    names the display texts), their first detail and their text."""

    def __init__(self, *event_types):
        self.heard = []
        self._types = event_types
        self._listener = Atspi.EventListener.new(self._hear)
        for event_type in event_types:
            self._listener.register(event_type)

    def _hear(self, event):
        self.heard.append({"type": event.type, "source": event.source.get_description(),
                           "detail": event.detail1,
                           "data": event.any_data if isinstance(event.any_data, str) else None})

    def wait(self, done, timeout):
        """Serves the bus until done(heard) or the time is up."""
        context = GLib.MainContext.default()
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not done(self.heard):
            while context.iteration(False):
                pass
            time.sleep(0.01)
        return self.heard

    def settle(self, timeout):
        """Serves the bus until something was heard and then nothing for a while, and hands
        over what was heard."""
        state = {"count": 0, "since": time.monotonic()}

        def quiet(heard):
            if len(heard) != state["count"]:
                state["count"], state["since"] = len(heard), time.monotonic()
            return heard and time.monotonic() - state["since"] >= QUIET_SECONDS
        heard = self.wait(quiet, timeout)
        self.heard = []
        return heard

    def stop(self):
        for event_type in self._types:
            self._listener.deregister(event_type)


def heard_from(events, source, kind, detail=None):
    return any(e["type"].startswith(kind) and e["source"] == source
               and detail in (None, e["detail"]) for e in events)


def press(frame, names, timeout):
    """Presses the children called names by their first action, one after another, and
    collects the events that follow each until the bus is quiet."""
    children = [frame.get_child_at_index(i) for i in range(frame.get_child_count())]
    events = Events(*EVENTS)
    pressed = []
    for name in names:
        key = next(child for child in children if child.get_name() == name)
        accepted = key.get_action_iface().do_action(0)
        pressed.append({"key": name, "accepted": accepted,
                        "events": events.settle(timeout)})
    events.stop()
    return pressed


def await_focus(timeout):
    events = Events("object:state-changed:focused")
    print("listening", flush=True)
    heard = events.wait(lambda heard: heard_from(heard, "Anzeige",
                                                 "object:state-changed:focused", 1), timeout)
    events.stop()
    return {"events": heard}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pid", type=int)
    parser.add_argument("--press", nargs="+")
    parser.add_argument("--await-focus", action="store_true")
    parser.add_argument("--timeout", type=float, default=10.0)
    args = parser.parse_args()
    application = find_application(args.pid, args.timeout)
    if args.await_focus:
        json.dump(await_focus(args.timeout) if application else {"events": None}, sys.stdout)
        return
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
