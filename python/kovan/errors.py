"""The one exception kovan raises."""

from ._lib import lib

_COMPONENTS = 6
_NO_TEXT = (3, 5)  # range and argument failures record no text


class KovanError(Exception):
    """A failed call: the status code, its fixed message and the library's detail text."""

    def __init__(self, status, detail=""):
        self.status = status
        self.message = lib.kovan_status_message(status).decode()
        self.detail = detail
        super().__init__(f"{self.message}: {detail}" if detail else self.message)


def check(status, handle=None):
    """Raises KovanError for a status other than 0. A step that failed to decode
    leaves its text in the document; every other failure in the calling thread."""
    if status == 0:
        return
    detail = b""
    if status not in _NO_TEXT:
        detail = lib.kovan_last_error(handle if status == _COMPONENTS else None) or b""
    raise KovanError(status, detail.decode("utf-8", "replace"))
