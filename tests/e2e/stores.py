"""The host's two settings stores as a test reads and prepares them: on Linux the calculator's
two files in the user's config directory, under Wine the real registry key of the Wine prefix
(through `wine reg` and `wine regedit`) and "Quenvik.ini" in its Windows directory.

Registry values read back as a dict of name to text: the text of a string value, and for other
types the text after "=" as a .reg file writes it (dword:00000007).
"""

import contextlib
import fcntl
import os
import subprocess
import tempfile
from pathlib import Path

REGISTRY_HEADER = "Windows Registry Editor Version 5.00"
KEY_PATH = r"HKEY_CURRENT_USER\Software\Tembra-Lidorn"


def registry_file(*value_lines, subkey_lines=()):
    """A .reg file's bytes: the calculator's key with the given value lines, then any lines of
    further keys."""
    lines = [REGISTRY_HEADER, "", f"[{KEY_PATH}]", *value_lines, ""]
    if subkey_lines:
        lines += [*subkey_lines, ""]
    return "\r\n".join(lines).encode()


def user_stores(user):
    """The stores the calculator run by user reads and writes."""
    prefix = os.environ.get("WINEPREFIX")
    return WineStores(Path(prefix)) if os.environ.get("RECHNER_EMULATOR") else FileStores(user)


def parse_reg_values(text, key=KEY_PATH):
    """The values of one key of a .reg file's text."""
    values = {}
    in_key = False
    for line in text.splitlines():
        if line.startswith("["):
            in_key = line[1:].rstrip("]").lower() == key.lower()
        elif in_key and line.startswith('"') and '"=' in line:
            name, _, value = line[1:].partition('"=')
            if value.startswith('"') and value.endswith('"'):
                value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
            values[name] = value
    return values


class FileStores:
    def __init__(self, user):
        self.directory = Path(user.config) / "Tembra-Lidorn"

    def reset(self):
        """A new user's directory starts empty; nothing to do."""

    def registry_values(self, key=KEY_PATH):
        path = self.directory / "registry.reg"
        return parse_reg_values(path.read_text(), key) if path.exists() else {}

    def profile_bytes(self):
        path = self.directory / "Quenvik.ini"
        return path.read_bytes() if path.exists() else None

    def write_registry(self, content):
        self._write("registry.reg", content)

    def write_profile(self, content):
        self._write("Quenvik.ini", content)

    @contextlib.contextmanager
    def locks_held(self):
        """A host holding the writers' locks of both files while the with statement lasts:
        every write of the calculator fails for now, and is tried again later."""
        self.directory.mkdir(parents=True, exist_ok=True)
        locks = []
        try:
            for name in ("registry.reg", "Quenvik.ini"):
                lock = os.open(self.directory / f".{name}.lock", os.O_RDONLY | os.O_CREAT,
                               0o600)
                locks.append(lock)
                fcntl.flock(lock, fcntl.LOCK_EX)
            yield
        finally:
            for lock in locks:
                os.close(lock)

    def _write(self, name, content):
        self.directory.mkdir(exist_ok=True)
        (self.directory / name).write_bytes(content)


class WineStores:
    """One Wine prefix serves every test: each new user starts by emptying the two stores."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.profile = prefix / "drive_c" / "windows" / "Quenvik.ini"

    def reset(self):
        self._wine("reg", "delete", KEY_PATH, "/f", check=False)
        self.profile.unlink(missing_ok=True)

    def registry_values(self, key=KEY_PATH):
        # An export writes the key in the same .reg form the Linux stand-in keeps.
        with tempfile.TemporaryDirectory(prefix="rechner-e2e-reg-") as scratch:
            exported = Path(scratch) / "key.reg"
            if self._wine("reg", "export", key, self._windows_path(exported), "/y",
                          check=False).returncode != 0:
                return {}
            return parse_reg_values(exported.read_bytes().decode("utf-16"), key)

    def profile_bytes(self):
        return self.profile.read_bytes() if self.profile.exists() else None

    def write_registry(self, content):
        with tempfile.TemporaryDirectory(prefix="rechner-e2e-reg-") as scratch:
            source = Path(scratch) / "import.reg"
            source.write_bytes(content)
            self._wine("regedit", "/S", self._windows_path(source))

    def write_profile(self, content):
        self.profile.write_bytes(content)

    @staticmethod
    def _windows_path(path):
        # Wine's Z: drive is the Unix root.
        return "Z:" + str(path).replace("/", "\\")

    @staticmethod
    def _wine(*args, check=True):
        result = subprocess.run([os.environ["RECHNER_EMULATOR"], *args], capture_output=True,
                                timeout=60, env={**os.environ, "DISPLAY": ""})
        if check and result.returncode != 0:
            raise AssertionError(f"wine {' '.join(args)} failed with {result.returncode}")
        return result
