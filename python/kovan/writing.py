"""Re-encoding FRD texts and writing new FRD files."""

import ctypes
import os
from typing import Optional, Sequence, Union

import numpy as np

from ._lib import lib
from .document import PathType, _buffer_of
from .errors import Status, check, error_for

FORMATS = {"keep": -1, "ascii-short": 0, "ascii-long": 1, "binary-float": 2, "binary-double": 3}
FormatType = Union[str, int]


def _format_code(format: FormatType, allow_keep: bool) -> int:
    code = FORMATS.get(format, format) if isinstance(format, str) else format
    if isinstance(code, bool) or code not in FORMATS.values() or (code == -1 and not allow_keep):
        names = [name for name in FORMATS if allow_keep or name != "keep"]
        raise ValueError(f"unknown format {format!r}; one of {', '.join(names)}")
    return int(code)


def _take_buffer(pointer: ctypes.c_void_p, size: ctypes.c_uint64) -> bytes:
    """Copies a returned buffer into bytes and releases it."""
    try:
        return ctypes.string_at(pointer, size.value) if size.value else b""
    finally:
        lib.kovan_free(pointer)


def convert_bytes(data, to: FormatType = "keep") -> bytes:
    """FRD text held in memory with its blocks in encoding `to` (a name of
    FORMATS or its code; "keep" leaves each block in its own), as bytes."""
    buffer, size = _buffer_of(data)
    code = _format_code(to, True)
    out, out_size = ctypes.c_void_p(), ctypes.c_uint64()
    check(lib.kovan_rewrite_memory(buffer, size, code, ctypes.byref(out), ctypes.byref(out_size)))
    return _take_buffer(out, out_size)


def convert(path: PathType, to: FormatType = "keep") -> bytes:
    """The FRD file at `path` with its blocks in encoding `to`, as bytes."""
    if not isinstance(path, (str, bytes, os.PathLike)):
        raise TypeError(f"a path is str, bytes or os.PathLike, not {type(path).__name__}; "
                        "FRD text in memory converts with kovan.convert_bytes()")
    with open(path, "rb") as file:
        return convert_bytes(file.read(), to)


def _contiguous(values, dtype, what: str) -> np.ndarray:
    """The values as a contiguous array of `dtype`; only integers and reals
    are taken: objects (None would become NaN), texts ('1' would become 1.0)
    and complex numbers (their imaginary part would go) raise TypeError."""
    try:
        given = np.asarray(values)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{what} must be numbers: {error}") from None
    if given.dtype.kind not in "biuf":
        raise TypeError(f"{what} must be integers or reals, not {given.dtype}")
    return np.ascontiguousarray(given, dtype=dtype)


def _pointer(array: Optional[np.ndarray], ctype):
    return array.ctypes.data_as(ctypes.POINTER(ctype)) if array is not None and array.size else None


def _name_bytes(name, what: str) -> bytes:
    if not isinstance(name, (str, bytes)):
        raise TypeError(f"{what} must be str, not {type(name).__name__}")
    encoded = name.encode("utf-8") if isinstance(name, str) else name
    if b"\0" in encoded:
        raise ValueError(f"{what} must not contain a NUL character: {name!r}")
    return encoded


class Writer:
    """Builds an FRD file from a VTK-style mesh and per-point arrays:
    set_nodes, set_cells, then per step begin_step and add_array, and finish()
    returns the file as bytes. Use it as a context manager, or call close()."""

    def __init__(self, format: FormatType = "binary-float"):
        self._pointer = lib.kovan_writer_new(_format_code(format, False))
        if not self._pointer:
            raise error_for(Status.NOMEM, (lib.kovan_last_error(None) or b"").decode("utf-8", "replace"))
        self.format = format
        self._n_points: Optional[int] = None
        self._step_begun = False

    def __del__(self):
        self.close()

    def close(self) -> None:
        """Frees the writer; finish() gives the file first."""
        if getattr(self, "_pointer", None):
            lib.kovan_writer_free(self._pointer)
            self._pointer = None

    def __enter__(self) -> "Writer":
        return self

    def __exit__(self, *exception) -> None:
        self.close()

    def __repr__(self) -> str:
        state = "closed" if not self._pointer else f"{self._n_points or 0} points"
        return f"<kovan.Writer {self.format!r}: {state}>"

    def _live(self):
        if not self._pointer:
            raise ValueError("the writer is finished or closed")
        return self._pointer

    def set_nodes(self, points, node_ids=None) -> None:
        """(n, 3) coordinates, and n node numbers (default 1 to n)."""
        writer = self._live()
        points = _contiguous(points, np.float64, "points")
        if points.ndim != 2 or points.shape[1] != 3:
            raise ValueError(f"points must have shape (n, 3), not {points.shape}")
        ids = None if node_ids is None else _contiguous(node_ids, np.int64, "node_ids")
        if ids is not None and ids.shape != (len(points),):
            raise ValueError(f"node_ids must have shape ({len(points)},), not {ids.shape}")
        check(lib.kovan_writer_set_nodes(writer, len(points), _pointer(ids, ctypes.c_int64),
                                         _pointer(points, ctypes.c_double)))
        self._n_points = len(points)

    def set_cells(self, cell_types, offsets, connectivity, cell_ids=None, wedge_order: int = 1) -> None:
        """VTK cell types, n_cells + 1 offsets from 0 into the connectivity (point
        indices), and element numbers (default 1 to n_cells)."""
        writer = self._live()
        types = _contiguous(cell_types, np.uint8, "cell_types").reshape(-1)
        offsets = _contiguous(offsets, np.int64, "offsets").reshape(-1)
        connectivity = _contiguous(connectivity, np.int64, "connectivity").reshape(-1)
        if offsets.shape != (len(types) + 1,):
            raise ValueError(f"offsets must hold {len(types) + 1} entries, one more than there are cells")
        if len(types) and (offsets.min() < 0 or offsets.max() > len(connectivity)):
            raise ValueError("offsets point outside the connectivity")
        ids = None if cell_ids is None else _contiguous(cell_ids, np.int64, "cell_ids")
        if ids is not None and ids.shape != (len(types),):
            raise ValueError(f"cell_ids must have shape ({len(types)},), not {ids.shape}")
        if wedge_order not in (0, 1):
            raise ValueError(f"wedge_order must be 0 or 1, not {wedge_order!r}")
        check(lib.kovan_writer_set_cells(writer, len(types), _pointer(types, ctypes.c_uint8),
                                         _pointer(offsets, ctypes.c_int64), _pointer(connectivity, ctypes.c_int64),
                                         _pointer(ids, ctypes.c_int64), wedge_order))

    def begin_step(self, number: int, time: float) -> None:
        """Arrays added from here on belong to step `number` at `time`."""
        writer = self._live()
        if not -2**31 <= int(number) < 2**31:
            raise ValueError(f"a step number is a 32-bit integer, not {number!r}")
        check(lib.kovan_writer_begin_step(writer, int(number), float(time)))
        self._step_begun = True

    def add_array(self, name: str, values, component_names: Optional[Sequence[Optional[str]]] = None,
                  type_code: int = 0) -> None:
        """One value per point of the last set_nodes: shape (n,) for a scalar,
        (n, k) for k components; component_names, if given, one per component
        (None for the generated name)."""
        writer = self._live()
        encoded_name = _name_bytes(name, "an array name")
        if self._n_points is None:
            raise ValueError("set_nodes() comes before add_array()")
        if not self._step_begun:
            raise ValueError("begin_step() comes before add_array()")
        values = _contiguous(values, np.float64, "values")
        if values.ndim == 1:
            values = values.reshape(-1, 1)
        if values.ndim != 2 or values.shape[0] != self._n_points or values.shape[1] == 0:
            raise ValueError(f"values must have shape ({self._n_points},) or ({self._n_points}, k) with k >= 1, "
                             f"one row per point; not {values.shape}")
        names = None
        if component_names is not None:
            if isinstance(component_names, (str, bytes)) or len(component_names) != values.shape[1]:
                raise ValueError(f"component_names must hold {values.shape[1]} names, one per component")
            encoded = [None if n is None else _name_bytes(n, "a component name") for n in component_names]
            names = (ctypes.c_char_p * len(encoded))(*encoded)
        if not 0 <= int(type_code) < 2**32:
            raise ValueError(f"type_code is an unsigned 32-bit integer, not {type_code!r}")
        check(lib.kovan_writer_add_array(writer, encoded_name, values.shape[1], names, int(type_code),
                                         values.ctypes.data_as(ctypes.POINTER(ctypes.c_double))))

    def finish(self) -> bytes:
        """The whole file, as bytes; the writer takes nothing more."""
        writer = self._live()
        out, size = ctypes.c_void_p(), ctypes.c_uint64()
        check(lib.kovan_writer_finish(writer, ctypes.byref(out), ctypes.byref(size)))
        data = _take_buffer(out, size)
        self.close()
        return data
