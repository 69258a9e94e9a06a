#!/usr/bin/env python3
"""The Windows ZIP as the host's installer gets it: packs it with CPack, checks that it holds the
programs and the read-me in one folder and nothing else, and runs the programs from the
unpacked folder under Wine, where none of the build's files lie beside them.

    windows_zip_test.py CPACK CPACK_CONFIG WINE PROGRAM...

PROGRAM: the file names the ZIP holds besides LIESMICH.txt (hostsignal.exe, rechner.exe).
With rechner.exe among them the calculator is started under Xvfb, and hostsignal.exe has to find
it and close it; without it, hostsignal.exe has to find no calculator and raise its signal.
"""

import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from xsession import UserDirs, XSession, wait_until  # noqa: E402

README = "LIESMICH.txt"
BYTE_ORDER_MARK = b"\xef\xbb\xbf"
I386 = 0x14C
# Wine's start-up comes on top of the calculator's 200 ms close poll.
CLOSE_TIMEOUT = 30.0


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def pack(cpack, config, directory):
    subprocess.run([cpack, "--config", config, "-B", directory], check=True,
                   stdout=subprocess.DEVNULL, timeout=300)
    archives = list(Path(directory).glob("*.zip"))
    expect(len(archives) == 1, f"cpack made {archives}, not one ZIP")
    return archives[0]


def check_content(archive, programs):
    """The ZIP holds one folder named like itself, with exactly the programs and the read-me;
    returns that folder's name."""
    folder = archive.stem
    with zipfile.ZipFile(archive) as contents:
        files = {name for name in contents.namelist() if not name.endswith("/")}
        expect(files == {f"{folder}/{name}" for name in [*programs, README]},
               f"{archive.name} holds {sorted(files)}")
        readme = contents.read(f"{folder}/{README}")
        executables = {name: contents.read(f"{folder}/{name}") for name in programs}

    expect(readme.startswith(BYTE_ORDER_MARK), f"{README} lacks the mark Notepad reads UTF-8 by")
    expect(readme.count(b"\n") == readme.count(b"\r\n"), f"{README} has lines not ended by CR LF")
    text = readme[len(BYTE_ORDER_MARK):].decode("utf-8")
    version = folder.split("-")[1]
    expect(text.startswith(f"Rechner {version}\r\n"), f"{README} does not open with the version")
    for word in ("Deutsch", "English", *programs):
        expect(word in text, f"{README} does not mention {word}")

    for name, data in executables.items():
        header = struct.unpack_from("<I", data, 0x3C)[0]
        expect(data[:2] == b"MZ" and data[header:header + 4] == b"PE\0\0",
               f"{name} is not a Windows program")
        machine = struct.unpack_from("<H", data, header + 4)[0]
        expect(machine == I386, f"{name} is for machine {machine:#x}, not 32-bit x86")
    return folder


def hostsignal(wine, folder, session, user, *args):
    """Runs hostsignal.exe to its end; returns its exit status and what it printed. The output
    goes to a file, not a pipe: a Wine process started on the way (the wineserver, a system
    service) inherits it and would hold a pipe open long after hostsignal.exe has ended."""
    with tempfile.TemporaryFile() as output:
        status = subprocess.run([wine, folder / "hostsignal.exe", *args], env=session.env(user),
                                stdout=output, stderr=subprocess.STDOUT, timeout=60).returncode
        output.seek(0)
        return status, output.read().decode(errors="replace")


def check_programs_run(wine, folder, programs):
    session = XSession()
    user = UserDirs()
    try:
        if "rechner.exe" in programs:
            calculator = session.start([wine, folder / "rechner.exe"], user=user,
                                       name="rechner.exe")
            wait_until(lambda: hostsignal(wine, folder, session, user, "running")[0] == 0,
                       CLOSE_TIMEOUT, "hostsignal.exe to find the running calculator")
            status, output = hostsignal(wine, folder, session, user, "close", "--timeout",
                                        str(CLOSE_TIMEOUT))
            expect(status == 0, f"hostsignal.exe close ended with {status}: {output!r}")
            status = calculator.wait_exit(CLOSE_TIMEOUT)
            expect(status == 0, f"rechner.exe exited with {status}")
        else:
            status, output = hostsignal(wine, folder, session, user, "close", "--hold", "0.1")
            expect(status == 0 and "TembraLidornCalcClose" in output,
                   f"hostsignal.exe close ended with {status}: {output!r}")
        status, output = hostsignal(wine, folder, session, user, "running")
        expect(status == 1, f"with no calculator, hostsignal.exe running ended with {status}: "
                            f"{output!r}")
    finally:
        session.close()
        user.remove()


def main():
    cpack, config, wine, *programs = sys.argv[1:]
    directory = Path(tempfile.mkdtemp(prefix="rechner-zip-"))
    try:
        archive = pack(cpack, config, directory)
        folder = check_content(archive, programs)
        with zipfile.ZipFile(archive) as contents:
            contents.extractall(directory / "unpacked")
        check_programs_run(wine, directory / "unpacked" / folder, programs)
        print(f"{archive.name}: {', '.join(programs)} and {README}; they run under Wine")
    finally:
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    main()
