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


def check(status: int, handle=None, argument_text: bool = False) -> None:
    """Raises the exception of a status other than OK. A step that failed to
    decode leaves its text with the document, every other failure with the
    calling thread; range and argument failures leave none, except where the
    call says (`argument_text`: the Writer's name check), so that an older
    text is not shown for them."""
    if status == Status.OK:
        return
    has_text = status not in (Status.RANGE, Status.ARG) or (status == Status.ARG and argument_text)
    detail = b""
    if has_text:
        detail = lib.kovan_last_error(handle if status == Status.COMPONENTS else None) or b""
    raise error_for(status, detail.decode("utf-8", "replace"))

