"""The screen reader people use on Linux, run in a test's X session: Orca with its speech going
through a private speech server whose only voice writes each utterance to a file, so that a
test reads what a user would hear, and Orca's debug file tells why.

The session needs a session bus of its own (run the test under dbus-run-session). Orca switches
the accessibility bus on and starts the speech server itself; everything it keeps is in the
user's scratch directories.
"""

import atexit
import os
import re
import shutil
import tempfile
import time
import unittest

from xsession import Program, wait_until

# Orca is a large Python program: on a busy machine it takes a while to say it is up.
START_TIMEOUT = 60.0
# How long Orca is silent after a key that it may not echo before the key counts as said.
QUIET_AFTER_KEY = 1.0
_bus_directory = None
# What Orca says once it is up, in German.
STARTED = "Bildschirmleser an"

SPEECH_SERVER_CONFIG = """\
AddModule "log" "sd_generic" "log.conf"
DefaultModule log
DefaultLanguage "de"
# The module must open an audio device although it never plays: ALSA's null device.
AudioOutputMethod "alsa"
AudioALSADevice "null"
LogDir "{logs}"
"""
# $DATA is the utterance, which the server has already put in single quotes' safe form.
SPEECH_MODULE_CONFIG = """\
GenericExecuteSynth "printf '%s\\\\n' '$DATA' >> {speech}"
GenericLanguage "de" "de" "utf-8"
AddVoice "de" "MALE1" "de"
"""


def keep_accessibility_bus_private(session):
    """Makes the accessibility bus that the session bus starts this session bus's own: its
    switch kept in memory, not in the tester's desktop settings, and its socket in a directory
    of this process, where the bus of another session run at the same time cannot take its place
    (without a runtime directory every bus would be ~/.cache/at-spi/bus). The bus may outlive
    the X session of the test class that started it, so it is told no display."""
    global _bus_directory
    if _bus_directory is None:
        _bus_directory = tempfile.mkdtemp(prefix="rechner-a11y-")
        atexit.register(shutil.rmtree, _bus_directory, ignore_errors=True)
    environment = {"GSETTINGS_BACKEND": "memory", "XDG_RUNTIME_DIR": _bus_directory}
    session.tool("gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
                 "--object-path", "/org/freedesktop/DBus", "--method",
                 "org.freedesktop.DBus.UpdateActivationEnvironment", repr(environment))


class PrivateAccessibilityBus:
    """For a test class with an X session: runs only on the session bus that dbus-run-session
    provides, and keeps the accessibility bus it starts to itself."""

    @classmethod
    def setUpClass(cls):
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            raise unittest.SkipTest("needs a session bus: run under dbus-run-session")
        super().setUpClass()
        keep_accessibility_bus_private(cls.session)


def words(line):
    """The words and numbers of an utterance, without its punctuation."""
    return re.findall(r"[\w,+-]+", line.replace(".", " "))


class Orca:
    """Orca running for a user in a session, and what it has said."""

    def __init__(self, session, user):
        self.directory = user.root / "orca"
        self.directory.mkdir()
        self.speech = self.directory / "speech.log"
        self.speech.touch()
        self.debug = self.directory / "debug.out"
        speech_config = user.config / "speech-dispatcher"
        (speech_config / "modules").mkdir(parents=True)
        (speech_config / "speechd.conf").write_text(
            SPEECH_SERVER_CONFIG.format(logs=self.directory))
        (speech_config / "modules" / "log.conf").write_text(
            SPEECH_MODULE_CONFIG.format(speech=self.speech))
        preferences = self.directory / "preferences"
        preferences.mkdir()
        self.session = session
        # Its settings stay in memory, whatever the tester's desktop keeps. Orca refuses to
        # start while its user runs another Orca anywhere on the machine, which it looks for
        # with pgrep; this one has a bus, a speech server and settings of its own and disturbs
        # no other, so its look finds none.
        commands = self.directory / "commands"
        commands.mkdir()
        (commands / "pgrep").write_text("#!/bin/sh\nexit 1\n")
        (commands / "pgrep").chmod(0o755)
        env = session.env(user) | {"GSETTINGS_BACKEND": "memory",
                                   "PATH": f"{commands}:{os.environ['PATH']}"}
        self.program = Program(["orca", "--debug-file", str(self.debug), "-u", str(preferences)],
                               env, "orca")
        session.programs.append(self.program)
        self.wait_for(lambda line: STARTED in line, 0, START_TIMEOUT, "Orca to start")

    def close(self):
        self.program.stop()

    def lines(self, since=0):
        """What Orca said, one utterance a line, from line number since on."""
        text = self.speech.read_text(encoding="utf-8", errors="replace")
        return [line.strip() for line in text.splitlines()[since:] if line.strip()]

    def mark(self):
        return len(self.speech.read_text(encoding="utf-8", errors="replace").splitlines())

    def wait_for(self, heard, since, timeout, what):
        """The first utterance since the mark for which heard(line) holds, waited for."""
        def found():
            if not self.program.running():
                raise AssertionError(f"Orca ended: {self.program.stderr()[-2000:]}")
            return next((line for line in self.lines(since) if heard(line)), None)
        try:
            return wait_until(found, timeout, what)
        except AssertionError as error:
            raise AssertionError(f"{error}; Orca said {self.lines(since)}") from None

    def wait_for_words(self, expected, since, timeout):
        """Waits until an utterance since the mark holds the words (a text or a list)."""
        expected = words(expected) if isinstance(expected, str) else list(expected)
        return self.wait_for(lambda line: contains(words(line), expected), since, timeout,
                             f"Orca to say {' '.join(expected)!r}")

    def wait_until_quiet(self, quiet, timeout):
        """Waits until Orca has said nothing new for quiet seconds."""
        last = {"mark": self.mark(), "since": time.monotonic()}

        def silent():
            mark = self.mark()
            if mark != last["mark"]:
                last.update(mark=mark, since=time.monotonic())
            return time.monotonic() - last["since"] >= quiet
        wait_until(silent, timeout + quiet, f"Orca to be silent for {quiet} s")

    def key(self, name, echo, timeout=5.0):
        """Presses a key and waits for Orca to echo it (any of a tuple of echoes), or with
        echo None for it to fall silent; returns the mark before the key."""
        since = self.mark()
        self.session.tool("xdotool", "key", name)
        if echo is None:
            self.wait_until_quiet(QUIET_AFTER_KEY, timeout)
            return since
        echoes = [words(e) for e in ((echo,) if isinstance(echo, str) else echo)]
        self.wait_for(lambda line: any(contains(words(line), e) for e in echoes), since,
                      timeout, f"Orca to say one of {echoes}")
        return since

    def presses(self, text):
        """How many presses of the key that types text Orca has been offered so far."""
        debug = self.debug.read_text(encoding="utf-8", errors="replace")
        return len(re.findall(rf"PROCESS \w*KEY_PRESSED_EVENT: '{re.escape(text)}' \(\d+\) vvvvv",
                              debug))

    def why(self, pattern, last=30):
        """The last lines of Orca's debug file that match a pattern, for a failure's message."""
        text = self.debug.read_text(encoding="utf-8", errors="replace")
        return [line.strip() for line in text.splitlines() if re.search(pattern, line)][-last:]


def contains(said, expected):
    """Whether the words hold the expected words in a row."""
    return any(said[start:start + len(expected)] == expected
               for start in range(len(said) - len(expected) + 1))
