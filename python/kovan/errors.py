"""kovan's statuses and the exceptions that carry them."""

from enum import IntEnum
from ._lib import lib


class Status(IntEnum):
    """The status codes of kovan's C interface."""

    OK = 0
    IO = 1
    PARSE = 2
    RANGE = 3
    NOMEM = 4
    ARG = 5
    COMPONENTS = 6
    INTERNAL = 7


_KNOWN = set(Status.__members__.values())


class KovanError(Exception):
    """A failed call into kovan: `status` (a Status), `message` (the status's
    fixed text) and `detail` (the library's text about this failure, or "")."""

    def __init__(self, status: int, detail: str = ""):
        self.status = Status(status) if status in _KNOWN else status
        self.message = lib.kovan_status_message(int(status)).decode()
        self.detail = detail
        super().__init__(f"{self.message}: {detail}" if detail else self.message)


class KovanIOError(KovanError, OSError):
    """The file could not be opened or read."""


class ParseError(KovanError, ValueError):
    """The text is not an FRD document kovan can read, or a mesh given to the Writer is refused."""


class RangeError(KovanError, IndexError):
    """An index beyond its count."""


class OutOfMemoryError(KovanError, MemoryError):
    """kovan ran out of memory, or a size overflowed."""


class ArgumentError(KovanError, ValueError):
    """kovan refused an argument."""


class ComponentsError(KovanError, ValueError):
    """A step's results could not be decoded: its records disagree on their components."""


class InternalError(KovanError):
    """An unexpected failure inside kovan."""


_CLASSES = {Status.IO: KovanIOError, Status.PARSE: ParseError, Status.RANGE: RangeError,
            Status.NOMEM: OutOfMemoryError, Status.ARG: ArgumentError, Status.COMPONENTS: ComponentsError,
            Status.INTERNAL: InternalError}


def error_for(status: int, detail: str = "") -> KovanError:
    """The exception of a status."""
    return _CLASSES.get(status, KovanError)(status, detail)


def check(status: int) -> None:
    """Raises the exception of a status other than OK, with the text that the
    failing call left in the calling thread's slot (every failure leaves one)."""
    if status == Status.OK:
        return
    detail = lib.kovan_last_error(None) or b""
    raise error_for(status, detail.decode("utf-8", "replace"))
