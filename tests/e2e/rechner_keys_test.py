#!/usr/bin/env python3
"""rechner-keys end to end: key lines in, the three display texts out, and the error paths.

Usage: rechner_keys_test.py [EMULATOR...] PROGRAM
A Windows program run under an emulator writes its lines ending in CR LF.
"""
import os
import subprocess
import sys

COMMAND = sys.argv[1:]
LINE_END = b"\r\n" if COMMAND[-1].endswith(".exe") else b"\n"

failures = []


def run(stdin, *args, env=None):
    return subprocess.run(COMMAND + list(args), input=stdin, capture_output=True, timeout=120,
                          env=env)


def expect(name, actual, wanted):
    if actual != wanted:
        failures.append(f"{name}: got {actual!r}, wanted {wanted!r}")


def lines(*texts):
    return b"".join(text.encode() + LINE_END for text in texts)


# Each case: name, input, arguments, the lines printed.
CASES = [
    ("worked example", b"12+34=\n5x0=\n9:0=\n0,123456\n", ",",
     lines("46\t=\t", "0\t=\t", "Fehler\t\t", "\t \t0,1234")),
    ("point separator", b"1,5\n7:2=\n", ".",
     lines("\t \t1.5", "3.5\t=\t")),
    ("empty line shows a fresh display", b"\n", ",", lines("\t \t0")),
    ("lines ended the Windows way", b"7+\r\n2=\r\n", ",", lines("7\t+\t", "2\t=\t")),
    ("last line without an end", b"5+3A2=", ",", lines("2\t=\t")),
    ("every key once", b"0123456789,+-x:=CA\n", ",", lines("\t\t0")),
]

for name, stdin, separator, wanted in CASES:
    result = run(stdin, "--separator", separator)
    expect(name + " output", result.stdout, wanted)
    expect(name + " status", result.returncode, 0)
    expect(name + " messages", result.stderr, b"")

# A line with a character that is no key: the lines before it are printed, then the message.
BAD_LINES = [
    ("letter", b"12+3=\n4q\n5\n", lines("15\t=\t"), b"line 2: 'q' is not a key"),
    ("blank", b" 1\n", b"", b"line 1: ' ' is not a key"),
    ("tab", b"1\n2\n3\t\n", lines("\t \t1", "\t \t2"), b"line 3: U+0009 is not a key"),
    ("umlaut", "5\u00e4\n".encode(), b"", "line 1: '\u00e4' (U+00E4) is not a key".encode()),
    ("broken byte", b"\xff\n", b"", b"line 1: byte 0xFF is not a key"),
]
for name, stdin, wanted, message in BAD_LINES:
    result = run(stdin, "--separator", ",")
    expect(name + " output", result.stdout, wanted)
    expect(name + " status", result.returncode, 2)
    if message not in result.stderr:
        failures.append(f"{name}: message {result.stderr!r} lacks {message!r}")

for arguments in (["--separator"], ["--separator", "ab"], ["--separator", "5"], ["-x", ","]):
    result = run(b"1\n", *arguments)
    expect(f"arguments {arguments} status", result.returncode, 2)
    expect(f"arguments {arguments} output", result.stdout, b"")
    if b"usage" not in result.stderr:
        failures.append(f"arguments {arguments}: no usage message in {result.stderr!r}")

if len(COMMAND) == 1:
    # Without --separator the locale decides; the C locale has a point.
    env = {key: value for key, value in os.environ.items() if not key.startswith("LC_")}
    env.update(LC_ALL="C", LANG="C")
    result = run(b"1,5\n", env=env)
    expect("locale separator output", result.stdout, lines("\t \t1.5"))

for failure in failures:
    print("FAIL", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
