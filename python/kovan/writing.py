"""Re-encoding FRD texts and writing new FRD files."""

import ctypes
from os import PathLike, fspath

import numpy as np

from ._lib import lib
from .errors import KovanError, check

FORMATS = {"keep": -1, "ascii-short": 0, "ascii-long": 1, "binary-float": 2, "binary-double": 3}


def _format_code(format, allow_keep):
    code = FORMATS.get(format, format) if isinstance(format, str) else format
    if code not in FORMATS.values() or (code == -1 and not allow_keep):
        raise KovanError(5, f"unknown format {format!r}")
    return code


def _take_buffer(pointer, size):
    """Copies a returned buffer into bytes and releases it."""
    try:
        return ctypes.string_at(pointer, size.value) if size.value else b""
    finally:
        lib.kovan_free(pointer)


def convert(data_or_path, to="keep"):
    """The FRD text with its blocks in encoding `to`, as bytes."""
    if isinstance(data_or_path, (str, PathLike)):
        with open(fspath(data_or_path), "rb") as file:
            data = file.read()
    else:
        data = bytes(data_or_path)
    out, size = ctypes.c_void_p(), ctypes.c_uint64()
    check(lib.kovan_rewrite_memory(data, len(data), _format_code(to, True), ctypes.byref(out), ctypes.byref(size)))
    return _take_buffer(out, size)


def _contiguous(values, dtype):
    return np.ascontiguousarray(values, dtype=dtype)


def _pointer(array, ctype):
    return array.ctypes.data_as(ctypes.POINTER(ctype)) if array is not None and array.size else None


class Writer:
    """Builds an FRD file from a VTK-style mesh and per-point arrays; finish() returns it as bytes."""

    def __init__(self, format="binary-float"):
        self._pointer = lib.kovan_writer_new(_format_code(format, False))
        if not self._pointer:
            raise KovanError(4, "the writer could not be created")

    def __del__(self):
        if getattr(self, "_pointer", None):
            lib.kovan_writer_free(self._pointer)
            self._pointer = None

    def set_nodes(self, points, node_ids=None):
        points = _contiguous(points, np.float64).reshape(-1, 3)
        ids = None if node_ids is None else _contiguous(node_ids, np.int64)
        if ids is not None and ids.shape != (len(points),):
            raise KovanError(5, "node_ids must hold one id per point")
        check(lib.kovan_writer_set_nodes(self._pointer, len(points), _pointer(ids, ctypes.c_int64),
                                         _pointer(points, ctypes.c_double)))

    def set_cells(self, cell_types, offsets, connectivity, cell_ids=None, wedge_order=1):
        types = _contiguous(cell_types, np.uint8)
        offsets = _contiguous(offsets, np.int64)
        connectivity = _contiguous(connectivity, np.int64)
        if offsets.shape != (len(types) + 1,):
            raise KovanError(5, "offsets must hold one entry more than there are cells")
        if len(types) and (offsets.min() < 0 or offsets.max() > len(connectivity)):
            raise KovanError(5, "offsets point outside the connectivity")
        ids = None if cell_ids is None else _contiguous(cell_ids, np.int64)
        if ids is not None and ids.shape != (len(types),):
            raise KovanError(5, "cell_ids must hold one id per cell")
        check(lib.kovan_writer_set_cells(self._pointer, len(types), _pointer(types, ctypes.c_uint8),
                                         _pointer(offsets, ctypes.c_int64), _pointer(connectivity, ctypes.c_int64),
                                         _pointer(ids, ctypes.c_int64), wedge_order))

    def begin_step(self, number, time):
        check(lib.kovan_writer_begin_step(self._pointer, number, time))

    def add_array(self, name, values, component_names=None, type_code=0):
        values = _contiguous(values, np.float64)
        values = values.reshape(len(values), -1) if values.ndim != 2 else values
        names = None
        if component_names is not None:
            encoded = [None if n is None else n.encode() for n in component_names]
            names = (ctypes.c_char_p * len(encoded))(*encoded)
        if values.shape[1] == 0:
            raise KovanError(5, "an array needs at least one component")
        check(lib.kovan_writer_add_array(self._pointer, name.encode(), values.shape[1], names, type_code,
                                         values.ctypes.data_as(ctypes.POINTER(ctypes.c_double))))

    def finish(self):
        out, size = ctypes.c_void_p(), ctypes.c_uint64()
        check(lib.kovan_writer_finish(self._pointer, ctypes.byref(out), ctypes.byref(size)))
        return _take_buffer(out, size)
