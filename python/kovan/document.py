"""Reading FRD files: a Document whose arrays share the library's memory."""

import ctypes
import os
import weakref
from collections.abc import Mapping
from typing import Dict, Iterator, List, NamedTuple, Optional, Union

import numpy as np

from ._lib import ArrayInfo, Diagnostic, OpenOptions, lib
from .errors import check

PathType = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]


NOT_FRD = 4  # the diagnostic kind of a text in which no line is an FRD line


def cell_type_description(vtk_type: int) -> str:
    """kovan's description of a VTK cell type it makes, such as "8-node
    hexahedron (CalculiX type 1)"; "" for any other type."""
    return lib.kovan_cell_type_description(int(vtk_type)).decode()


def diagnostic_description(kind: int) -> str:
    """What a diagnostic kind means, such as "element of an unknown type,
    dropped"; "" for any other kind."""
    return lib.kovan_diagnostic_description(int(kind)).decode()


class DiagnosticRecord(NamedTuple):
    """One problem kovan noticed while reading: a malformed element (kinds 0
    to 2), a block cut off by the end of the file (kind 3), or a text that
    is not an FRD file (kind 4)."""

    kind: int
    element_type: int
    line: int
    expected: int
    found: int

    @property
    def description(self) -> str:
        return diagnostic_description(self.kind)


class _Handle:
    """Owns one open document; it is closed when the last Document, Step or array using it is gone."""

    def __init__(self, pointer: int):
        self.pointer = pointer

    def __del__(self):
        if self.pointer:
            lib.kovan_close(self.pointer)
            self.pointer = None


class _Lease:
    """A decoded step's hold on kovan's memory. The step's arrays and Step
    objects hold it (and through it the document); once the step is let go
    (Document.release) and nothing holds it any more, kovan releases the
    step, so that no array is left pointing into freed memory."""

    def __init__(self, handle: _Handle, index: int):
        self.handle, self.index, self.let_go = handle, index, False

    def __del__(self):
        if self.let_go and self.handle.pointer:
            lib.kovan_release_step(self.handle.pointer, self.index)


class _View:
    """Exposes library memory to numpy without copying, keeping its owner
    (the document's handle, or a step's lease) alive."""

    def __init__(self, handle, address: int, dtype, shape):
        self.handle = handle
        self.__array_interface__ = {
            "shape": shape, "typestr": np.dtype(dtype).str, "version": 3,
            "data": (address, True),  # read-only
        }


def _array(handle, pointer, dtype, shape) -> np.ndarray:
    address = ctypes.cast(pointer, ctypes.c_void_p).value
    if not address or 0 in shape:
        return np.empty(shape, dtype=dtype)
    array = np.asarray(_View(handle, address, dtype, shape))
    array.flags.writeable = False
    return array


class Step(Mapping):
    """The arrays of one step by name, decoded on first use: read-only arrays
    of shape (n_points,) for one component and (n_points, k) for k. A Step
    and its arrays keep the step's memory alive, but not the Document. As a
    context manager it lets the step go when the block ends (arrays still
    held stay valid until they are gone)."""

    def __init__(self, document: "Document", lease: _Lease, time: float):
        handle, index = lease.handle, lease.index
        self.index, self.time, self._source = index, time, repr(document.source)
        self._lease, self._document = lease, weakref.ref(document)
        count = ctypes.c_uint64()
        check(lib.kovan_n_arrays(handle.pointer, index, ctypes.byref(count)))
        infos = (ArrayInfo * count.value)()
        if count.value:
            check(lib.kovan_array_info_range(handle.pointer, index, 0, count.value, infos))
        self._arrays: Dict[str, np.ndarray] = {}
        self.derived: Dict[str, bool] = {}  # whether kovan computed the array (von Mises, principal values)
        for i, info in enumerate(infos):
            name = info.name.decode("utf-8", "replace")
            if name in self._arrays:
                continue  # a later array of the same name; the first one answers to it
            values = ctypes.POINTER(ctypes.c_double)()
            check(lib.kovan_array_data(handle.pointer, index, i, ctypes.byref(values)))
            shape = (info.n_tuples,) if info.n_components == 1 else (info.n_tuples, info.n_components)
            self._arrays[name] = _array(lease, values, np.float64, shape)
            self.derived[name] = bool(info.derived)

    def __getitem__(self, name: str) -> np.ndarray:
        return self._arrays[name]

    def __iter__(self) -> Iterator[str]:
        return iter(self._arrays)

    def __len__(self) -> int:
        return len(self._arrays)

    def __repr__(self) -> str:
        return f"<kovan.Step {self.index} of {self._source} at time {self.time!r}: {', '.join(self._arrays) or 'no arrays'}>"

    def __enter__(self) -> "Step":
        return self

    def __exit__(self, *exception) -> None:
        document = self._document()
        if document is not None and document._handle is not None:
            document.release(self.index)


def _buffer_of(data):
    """A pointer to the bytes of a buffer, without copying where ctypes can
    point into it (kovan copies them before its call returns), and its size."""
    if isinstance(data, (str, os.PathLike)):
        raise TypeError("FRD text in memory is bytes; a path opens with kovan.open()")
    if isinstance(data, bytes):
        return data, len(data)
    view = memoryview(data).cast("B")
    if len(view) == 0:
        return None, 0
    if view.readonly:
        return view.tobytes(), len(view)
    return (ctypes.c_char * len(view)).from_buffer(view), len(view)


def _options(wedge_order: int) -> OpenOptions:
    if wedge_order not in (0, 1):
        raise ValueError(f"wedge_order must be 0 or 1, not {wedge_order!r}")
    return OpenOptions(wedge_order, 0)


class Document:
    """An open FRD file: its mesh, its step times and, per step, its arrays.
    Use it as a context manager, or call close(). Arrays it hands out share
    kovan's memory and stay valid after close()."""

    def __init__(self, path: PathType, wedge_order: int = 1):
        """Opens the FRD file at `path` (str, bytes or os.PathLike). wedge_order
        1, the default, turns wedges to VTK's orientation; 0 keeps FRD's order."""
        if not isinstance(path, (str, bytes, os.PathLike)):
            raise TypeError(f"a path is str, bytes or os.PathLike, not {type(path).__name__}; "
                            "FRD text in memory opens with kovan.open_bytes()")
        options, pointer = _options(wedge_order), ctypes.c_void_p()
        check(lib.kovan_open_ex(os.fsencode(path), ctypes.byref(options), ctypes.byref(pointer)))
        self._adopt(pointer.value, os.fsdecode(path))

    @classmethod
    def from_bytes(cls, data, wedge_order: int = 1) -> "Document":
        """Opens FRD text held in memory (bytes, bytearray or any buffer)."""
        buffer, size = _buffer_of(data)
        options, pointer = _options(wedge_order), ctypes.c_void_p()
        check(lib.kovan_open_memory(buffer, size, ctypes.byref(options), ctypes.byref(pointer)))
        document = cls.__new__(cls)
        document._adopt(pointer.value, "<bytes>")
        return document

    def _adopt(self, pointer: int, source: str) -> None:
        self._handle = _Handle(pointer)
        self.source = source  # the path, or "<bytes>"
        self._steps: Dict[int, Step] = {}
        self._leases: "weakref.WeakValueDictionary[int, _Lease]" = weakref.WeakValueDictionary()
        self.steps: List[float] = self._read_times()  # step times, ascending

    def _live(self) -> _Handle:
        if self._handle is None:
            raise ValueError("the document is closed")
        return self._handle

    def _read_times(self) -> List[float]:
        handle = self._live()
        times = []
        for step in range(lib.kovan_n_steps(handle.pointer)):
            time = ctypes.c_double()
            check(lib.kovan_step_time(handle.pointer, step, ctypes.byref(time)))
            times.append(time.value)
        return times

    def close(self) -> None:
        """Lets go of the document; arrays handed out stay valid until they are gone too."""
        self._handle = None
        self._steps = {}

    def __enter__(self) -> "Document":
        return self

    def __exit__(self, *exception) -> None:
        self.close()

    def __repr__(self) -> str:
        if self._handle is None:
            return f"<kovan.Document {self.source!r} (closed)>"
        return (f"<kovan.Document {self.source!r}: {self.n_points} points, {self.n_cells} cells, "
                f"{len(self.steps)} steps>")

    def _mesh(self, function, dtype, shape) -> np.ndarray:
        handle = self._live()
        return _array(handle, function(handle.pointer), dtype, shape)

    @property
    def n_points(self) -> int:
        return lib.kovan_n_points(self._live().pointer)

    @property
    def n_cells(self) -> int:
        return lib.kovan_n_cells(self._live().pointer)

    @property
    def points(self) -> np.ndarray:
        """(n_points, 3) coordinates, in ascending node number order."""
        return self._mesh(lib.kovan_points, np.float64, (self.n_points, 3))

    @property
    def node_ids(self) -> np.ndarray:
        """(n_points,) FRD node numbers, ascending."""
        return self._mesh(lib.kovan_node_ids, np.int64, (self.n_points,))

    @property
    def cell_types(self) -> np.ndarray:
        """(n_cells,) VTK cell types."""
        return self._mesh(lib.kovan_cell_types, np.uint8, (self.n_cells,))

    @property
    def offsets(self) -> np.ndarray:
        """(n_cells + 1,) running ends into the connectivity, from 0."""
        return self._mesh(lib.kovan_cell_offsets, np.int64, (self.n_cells + 1,))

    @property
    def connectivity(self) -> np.ndarray:
        """Point indices in VTK node order, cell by cell."""
        return self._mesh(lib.kovan_cell_connectivity, np.int64, (int(self.offsets[-1]),))

    @property
    def cell_ids(self) -> np.ndarray:
        """(n_cells,) FRD element numbers, in file order."""
        return self._mesh(lib.kovan_cell_ids, np.int64, (self.n_cells,))

    @property
    def diagnostics(self) -> List[DiagnosticRecord]:
        handle = self._live()
        records = []
        for i in range(lib.kovan_n_diagnostics(handle.pointer)):
            d = Diagnostic()
            check(lib.kovan_diagnostic_at(handle.pointer, i, ctypes.byref(d)))
            records.append(DiagnosticRecord(d.kind, d.element_type, d.line, d.expected, d.found))
        return records

    def step(self, index: int) -> Step:
        """The arrays of step `index` (negative counts from the last), decoded on first use."""
        if not isinstance(index, (int, np.integer)) or isinstance(index, bool):
            raise TypeError(f"a step index is an int, not {type(index).__name__}")
        n = len(self.steps)
        if not -n <= index < n:
            raise IndexError(f"step {index} of {n}")
        index = int(index) % n
        step = self._steps.get(index)
        if step is None:
            lease = self._leases.get(index)
            if lease is None:
                lease = _Lease(self._live(), index)
                self._leases[index] = lease
            lease.let_go = False
            step = self._steps[index] = Step(self, lease, self.steps[index])
        return step

    def release(self, index: int) -> None:
        """Lets step `index` go: kovan frees its arrays once no array or Step
        of it is held any more (those held stay valid until then), and a
        later step(index) decodes it again."""
        handle = self._live()
        n = len(self.steps)
        if not -n <= index < n:
            raise IndexError(f"step {index} of {n}")
        index = int(index) % n
        self._steps.pop(index, None)
        lease = self._leases.get(index)
        if lease is not None:
            lease.let_go = True
        else:
            check(lib.kovan_release_step(handle.pointer, index))

    def refresh(self) -> "Document":
        """A new Document of what the file holds now, such as a running
        solver's grown file: only what was appended is read, and the mesh is
        shared. This document stays as it was."""
        pointer = ctypes.c_void_p()
        check(lib.kovan_reopen(self._live().pointer, ctypes.byref(pointer)))
        document = Document.__new__(Document)
        document._adopt(pointer.value, self.source)
        return document

    def decoded_steps(self, jobs: Optional[int] = None) -> Iterator[Step]:
        """Every step in order, decoded on `jobs` threads ahead of the one
        handed out (default: the machine's cores), so that `jobs` steps are
        held at once, not all; each step is let go when the next is asked for
        (keep an array of it to keep it). kovan decodes different steps of a
        document at the same time, and the interpreter's lock is let go
        while it does."""
        if jobs is None:
            jobs = os.cpu_count() or 1
        if not isinstance(jobs, int) or jobs < 1:
            raise ValueError(f"jobs must be a positive int, not {jobs!r}")
        return self._decoded_in_turn(jobs)

    def _decoded_in_turn(self, jobs: int) -> Iterator[Step]:
        n = len(self.steps)
        if jobs == 1 or n < 2:
            for index in range(n):
                yield self.step(index)
                self.release(index)
            return
        import threading
        from concurrent.futures import ThreadPoolExecutor
        futures, lock = {}, threading.Lock()
        with ThreadPoolExecutor(max_workers=jobs) as pool:
            def start(index: int) -> None:
                with lock:
                    if index < n and index not in futures and pool is not None:
                        futures[index] = pool.submit(self.step, index)

            for index in range(min(jobs, n)):
                start(index)
            for index in range(n):
                start(index)
                with lock:
                    future = futures.pop(index)
                step = future.result()
                # The step `jobs` on is decoded once this one's memory is let
                # go (into memory it gave back), so that at most `jobs` steps
                # are held at once, the one handed out among them.
                weakref.finalize(step._lease, start, index + jobs)
                yield step
                del step, future
                self.release(index)
            with lock:
                pool = None  # late finalizers start nothing

    def to_vtk(self, step=None):
        """A vtkUnstructuredGrid of the mesh, with the arrays of `step` as point data."""
        from .vtk_io import to_vtk
        return to_vtk(self, step)


def open(path: PathType, wedge_order: int = 1) -> Document:  # noqa: A001 - as the builtin, for FRD files
    """Opens the FRD file at `path` (str, bytes or os.PathLike). wedge_order 1,
    the default, turns wedges to VTK's orientation; 0 keeps FRD's node order."""
    return Document(path, wedge_order)


def open_bytes(data, wedge_order: int = 1) -> Document:
    """Opens FRD text held in memory (bytes, bytearray or any buffer)."""
    return Document.from_bytes(data, wedge_order)
