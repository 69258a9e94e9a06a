#!/usr/bin/env python3
"""The Windows programs as built: 32-bit, static, importing only DLLs that ship with Windows;
rechner.exe a GUI program with its icon, version information and a manifest that asks for
common controls 6 and system DPI awareness and has no trust information (no execution level),
so that Windows redirects its writes to the Windows folder as it does the legacy host's.

    windows_programs_test.py OBJDUMP VERSION RECHNER_EXE OTHER_EXE...
"""

import re
import subprocess
import sys
import unittest
from pathlib import Path

SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
               "user32.dll", "shell32.dll", "ole32.dll"}
OBJDUMP, VERSION, RECHNER, *OTHERS = sys.argv[1:]
del sys.argv[1:]


def headers(program):
    return subprocess.run([OBJDUMP, "-p", program], capture_output=True, text=True,
                          check=True).stdout


def utf16(text):
    return text.encode("utf-16-le")


class WindowsPrograms(unittest.TestCase):

    def test_every_program_is_32_bit_and_imports_only_system_dlls(self):
        for program in [RECHNER, *OTHERS]:
            with self.subTest(program=Path(program).name):
                dump = headers(program)
                self.assertIn("file format pei-i386", dump)
                imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
                self.assertTrue(imports, "no import table read")
                self.assertLessEqual(imports, SYSTEM_DLLS, "imports beyond the system's DLLs")

    def test_the_calculator_is_a_gui_program_with_icon_version_and_manifest(self):
        self.assertRegex(headers(RECHNER), r"Subsystem\s+00000002\s+\(Windows GUI\)")
        data = Path(RECHNER).read_bytes()
        # Version strings are UTF-16 names and values, padded to four bytes between them.
        for name, value in (("ProductName", "Rechner"), ("ProductVersion", VERSION),
                            ("FileVersion", VERSION), ("OriginalFilename", "rechner.exe")):
            found = re.search(re.escape(utf16(name)) + rb"(\0\0)+" + re.escape(utf16(value)),
                              data)
            self.assertTrue(found, f"version information {name} is not {value}")
        manifest = re.search(rb"<assembly.*?</assembly>", data, re.DOTALL)
        self.assertIsNotNone(manifest, "no manifest compiled in")
        self.assertIn(b"Microsoft.Windows.Common-Controls", manifest.group())
        self.assertIn(b"<dpiAware", manifest.group())
        for other in (b"trustInfo", b"requestedExecutionLevel"):
            self.assertFalse(other in data, f"{other.decode()} is linked in")
        # A group icon entry: 32 x 32 pixels, 16 colours.
        self.assertTrue(b"\x20\x20\x10\0\1\0\4\0" in data, "no 32 x 32, 16-colour icon")


if __name__ == "__main__":
    unittest.main()
