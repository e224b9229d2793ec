"""Reading FRD files: a Document whose arrays share the library's memory."""

import ctypes
from collections import namedtuple
from collections.abc import Mapping
from os import PathLike, fspath

import numpy as np

from ._lib import ArrayInfo, Diagnostic, OpenOptions, lib
from .errors import KovanError, check

DiagnosticRecord = namedtuple("DiagnosticRecord", "kind element_type line expected found")


class _Handle:
    """Owns one open document; it is closed when the last Document or array using it is gone."""

    def __init__(self, pointer):
        self.pointer = pointer

    def __del__(self):
        if self.pointer:
            lib.kovan_close(self.pointer)
            self.pointer = None


class _View:
    """Exposes library memory to numpy without copying, keeping its document alive."""

    def __init__(self, handle, address, dtype, shape):
        self.handle = handle
        self.__array_interface__ = {
            "shape": shape, "typestr": np.dtype(dtype).str, "version": 3,
            "data": (address or 0, True),  # read-only
        }


def _array(handle, pointer, dtype, shape):
    address = ctypes.cast(pointer, ctypes.c_void_p).value
    if not address or 0 in shape:
        return np.empty(shape, dtype=dtype)
    array = np.asarray(_View(handle, address, dtype, shape))
    array.flags.writeable = False
    return array


class Step(Mapping):
    """The arrays of one step, by name: read-only arrays of shape (n_points, n_components)."""

    def __init__(self, document, index):
        self._document, self.index = document, index
        self.time = document.steps[index]
        handle = document._live()
        count = ctypes.c_uint64()
        check(lib.kovan_n_arrays(handle.pointer, index, ctypes.byref(count)), handle.pointer)
        self._arrays, self.derived = {}, {}
        for i in range(count.value):
            info = ArrayInfo()
            check(lib.kovan_array_info_at(handle.pointer, index, i, ctypes.byref(info)), handle.pointer)
            values = ctypes.POINTER(ctypes.c_double)()
            check(lib.kovan_array_data(handle.pointer, index, i, ctypes.byref(values)), handle.pointer)
            name = info.name.decode("utf-8", "replace")
            if name in self._arrays:
                continue  # a later array of the same name; the first one answers to it
            self._arrays[name] = _array(handle, values, np.float64, (info.n_tuples, info.n_components))
            self.derived[name] = bool(info.derived)

    def __getitem__(self, name):
        return self._arrays[name]

    def __iter__(self):
        return iter(self._arrays)

    def __len__(self):
        return len(self._arrays)


class Document:
    """An open FRD file or text. Use as a context manager, or call close()."""

    def __init__(self, source, wedge_order=1):
        options = OpenOptions(wedge_order, 0)
        pointer = ctypes.c_void_p()
        if isinstance(source, (bytes, bytearray, memoryview)):
            data = bytes(source)
            status = lib.kovan_open_memory(data, len(data), ctypes.byref(options), ctypes.byref(pointer))
        else:
            path = fspath(source).encode("utf-8") if isinstance(source, (str, PathLike)) else None
            if path is None:
                raise TypeError("open() takes a path or bytes")
            status = lib.kovan_open_ex(path, ctypes.byref(options), ctypes.byref(pointer))
        check(status)
        self._handle = _Handle(pointer.value)
        self._steps = {}
        self.steps = self._read_times()

    def _live(self):
        if self._handle is None:
            raise KovanError(5, "the document is closed")
        return self._handle

    def _read_times(self):
        handle = self._live()
        times = []
        for step in range(lib.kovan_n_steps(handle.pointer)):
            time = ctypes.c_double()
            check(lib.kovan_step_time(handle.pointer, step, ctypes.byref(time)))
            times.append(time.value)
        return times

    def close(self):
        """Lets go of the document; arrays handed out stay valid until they are gone too."""
        self._handle = None
        self._steps = {}

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def _mesh(self, function, dtype, shape):
        handle = self._live()
        return _array(handle, function(handle.pointer), dtype, shape)

    @property
    def n_points(self):
        return lib.kovan_n_points(self._live().pointer)

    @property
    def n_cells(self):
        return lib.kovan_n_cells(self._live().pointer)

    @property
    def points(self):
        return self._mesh(lib.kovan_points, np.float64, (self.n_points, 3))

    @property
    def node_ids(self):
        return self._mesh(lib.kovan_node_ids, np.int64, (self.n_points,))

    @property
    def cell_types(self):
        return self._mesh(lib.kovan_cell_types, np.uint8, (self.n_cells,))

    @property
    def offsets(self):
        return self._mesh(lib.kovan_cell_offsets, np.int64, (self.n_cells + 1,))

    @property
    def connectivity(self):
        return self._mesh(lib.kovan_cell_connectivity, np.int64, (int(self.offsets[-1]),))

    @property
    def cell_ids(self):
        return self._mesh(lib.kovan_cell_ids, np.int64, (self.n_cells,))

    @property
    def diagnostics(self):
        handle = self._live()
        records = []
        for i in range(lib.kovan_n_diagnostics(handle.pointer)):
            d = Diagnostic()
            check(lib.kovan_diagnostic_at(handle.pointer, i, ctypes.byref(d)))
            records.append(DiagnosticRecord(d.kind, d.element_type, d.line, d.expected, d.found))
        return records

    def step(self, index):
        """The arrays of step `index` (decoded on first use)."""
        if not 0 <= index < len(self.steps):
            raise IndexError(f"step {index} of {len(self.steps)}")
        if index not in self._steps:
            self._steps[index] = Step(self, index)
        return self._steps[index]

    def to_vtk(self, step=None):
        """A vtkUnstructuredGrid of the mesh, with the arrays of `step` as point data."""
        from .vtk_io import to_vtk
        return to_vtk(self, step)


def open(source, wedge_order=1):  # noqa: A001 - mirrors the builtin for files
    """Opens an FRD file (a path) or text (bytes). wedge_order 1, the default,
    gives wedges in VTK's orientation; 0 keeps FRD's node order."""
    return Document(source, wedge_order)
