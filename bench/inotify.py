"""Files of one directory being written, as Linux's inotify reports them (libc via ctypes).

A file counts as written when a finished writer closes it or when a replacement is renamed over
it, whichever way the program writes; each report is stamped with CLOCK_MONOTONIC as it is read.
"""

import ctypes
import os
import select
import struct
import time

_libc = ctypes.CDLL(None, use_errno=True)
_libc.inotify_init1.argtypes = [ctypes.c_int]
_libc.inotify_add_watch.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_uint32]

_IN_CLOSE_WRITE = 0x00000008
_IN_MOVED_TO = 0x00000080
_IN_CLOEXEC = 0o2000000
_HEADER = struct.Struct("iIII")  # struct inotify_event before its name


class DirectoryWatch:
    """Reports of files written into one directory; use it in a with statement."""

    def __init__(self, directory):
        self.fd = _libc.inotify_init1(_IN_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1 failed")
        if _libc.inotify_add_watch(self.fd, os.fsencode(directory),
                                   _IN_CLOSE_WRITE | _IN_MOVED_TO) < 0:
            os.close(self.fd)
            raise OSError(ctypes.get_errno(), f"cannot watch {directory}")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        os.close(self.fd)

    def written(self, deadline):
        """The names of the files written since the last call, waiting for at least one, and
        the moment they were read; None at the deadline (a past deadline only takes what has
        already been reported)."""
        remaining = max(0.0, deadline - time.monotonic())
        if not select.select([self.fd], [], [], remaining)[0]:
            return None
        data = os.read(self.fd, 65536)
        seen = time.monotonic()
        names = set()
        offset = 0
        while offset < len(data):
            _, _, _, length = _HEADER.unpack_from(data, offset)
            offset += _HEADER.size
            names.add(data[offset:offset + length].rstrip(b"\0").decode())
            offset += length
        return names, seen
