"""Readable, seekable binary file objects (open files, io.BytesIO, fsspec's
files of local, in-memory or remote storage) as what kovan reads: it asks
for the bytes it needs where it needs them, a window at a time when it
opens and a step's blocks when it decodes one, and never reads the object
whole."""

import ctypes
import io
import threading

from ._lib import READ_AT, RELEASE, SIZE, Source


def is_file_object(candidate) -> bool:
    return all(callable(getattr(candidate, name, None)) for name in ("read", "seek"))


class FileObjectSource:
    """The kovan_source of a file object. kovan may read from several
    threads at once (steps decoded in parallel), so a seek and the read
    after it are one step under a lock. Documents that read through it keep
    it alive; kovan calls release when the last of them is closed."""

    def __init__(self, file):
        seekable = getattr(file, "seekable", None)
        if seekable is not None and not seekable():
            raise ValueError("kovan reads a file object where it needs to: it must be seekable")
        self.file = file
        self._lock = threading.Lock()
        self._read_into = callable(getattr(file, "readinto", None))
        self.record = Source(READ_AT(self._read_at), SIZE(self._size), RELEASE(self._release), None)
        self.released = False

    def _read_at(self, _context, offset, buffer, count):
        try:
            with self._lock:
                self.file.seek(offset)
                if self._read_into:
                    got = self.file.readinto((ctypes.c_char * count).from_address(buffer))
                    return -1 if got is None else got
                data = self.file.read(count)
            if not isinstance(data, (bytes, bytearray, memoryview)) or len(data) > count:
                return -1  # a text file, or one that gives more than it was asked for
            ctypes.memmove(buffer, bytes(data), len(data))
            return len(data)
        except Exception:  # noqa: BLE001 - any failure of the object is a failed read for kovan
            return -1

    def _size(self, _context):
        try:
            with self._lock:
                return self.file.seek(0, io.SEEK_END)
        except Exception:  # noqa: BLE001 - kovan then reads no bytes, and the read that fails says so
            return 0

    def _release(self, _context):
        self.released = True
