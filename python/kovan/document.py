"""Reading FRD files: a Document whose arrays share the library's memory."""

import ctypes
import os
import weakref
from collections.abc import Mapping
from typing import Any, Dict, Iterator, List, NamedTuple, Optional, Tuple, Union

import numpy as np

from ._lib import OPEN_FILE_ORDER, OPEN_MISSING_AS_NAN, ArrayInfo, Diagnostic, OpenOptions, StepInfo, lib
from .errors import check
from .file_source import FileObjectSource, is_file_object

PathType = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]


INCOMPLETE_BLOCK = 3  # the diagnostic kind of a block the end of the text cuts off
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

    def __init__(self, pointer: int, source=None):
        self.pointer = pointer
        self.source = source  # a FileObjectSource kovan reads through, kept alive as long as the document

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


class Array(np.ndarray):
    """A step's array: a read-only numpy array that also tells the names of
    its components as the file gives them (component_names, such as
    ["COPEN", "CSLIP1", ...]) and how many points the file gives a value
    (points_with_values; the others read 0.0, or NaN when the document was
    opened with missing_as_nan). Arrays made from it by numpy are plain."""

    component_names: Tuple[str, ...] = ()
    points_with_values: int = 0

    def __array_wrap__(self, result, context=None, return_scalar=False):  # results of ufuncs are plain
        result = np.asarray(result)
        return result[()] if return_scalar or result.ndim == 0 else result

    def __getitem__(self, key):  # and so are its parts: a column has no component names
        return np.asarray(self)[key]


class PlannedArray(NamedTuple):
    """An array a step will have: Document.planned_arrays."""
    name: str
    components: int
    derived: bool
    component_names: Tuple[str, ...]


def _named_array(values: np.ndarray, names: Tuple[str, ...], points: int) -> Array:
    array = values.view(Array)
    array.component_names, array.points_with_values = names, points
    return array


def _text(raw: Optional[bytes]) -> str:
    return (raw or b"").decode("utf-8", "replace")


def _step_info(pointer: int, index: int) -> Dict[str, Any]:
    """What the file says of a step, keyed as `kovan info --json` keys it:
    None where the file states nothing."""
    info = StepInfo()
    check(lib.kovan_step_info_at(pointer, index, ctypes.byref(info)))

    def stated(flag: int, value):
        return value if info.flags & flag else None

    return {"value": info.value, "file_index": info.file_index, "set_number": stated(1, info.set_number),
            "data_set": stated(2, info.data_set), "step": stated(2, info.step), "increment": stated(2, info.increment),
            "analysis": info.analysis if info.analysis >= 0 else None, "analysis_text": _text(info.analysis_text),
            "mode": stated(4, info.mode), "nodal_diameter": stated(8, info.nodal_diameter),
            "generalised_mass": stated(16, info.generalised_mass),
            "generalised_stiffness": stated(32, info.generalised_stiffness), "value_text": _text(info.value_text)}


class Step(Mapping):
    """The arrays of one step by name, decoded on first use: read-only arrays
    of shape (n_points,) for one component and (n_points, k) for k. A Step
    and its arrays keep the step's memory alive, but not the Document. As a
    context manager it lets the step go when the block ends (arrays still
    held stay valid until they are gone)."""

    def __init__(self, document: "Document", lease: _Lease, time: float):
        handle, index = lease.handle, lease.index
        self.index, self.time, self._source = index, time, repr(document.source)
        self.info: Dict[str, Any] = _step_info(handle.pointer, index)  # analysis, mode, nodal diameter, ...
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
            self._arrays[name] = _named_array(_array(lease, values, np.float64, shape),
                                              *_array_facts(handle.pointer, index, i, info.n_components))
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


def _component_names(query, pointer: int, step: int, index: int, components: int) -> Tuple[str, ...]:
    """The names of an array's components, through kovan_array_component_name
    or kovan_planned_component_name."""
    names = []
    for k in range(components):
        name = ctypes.c_char_p()
        check(query(pointer, step, index, k, ctypes.byref(name)))
        names.append(_text(name.value))
    return tuple(names)


def _array_facts(pointer: int, step: int, index: int, components: int) -> Tuple[Tuple[str, ...], int]:
    names = _component_names(lib.kovan_array_component_name, pointer, step, index, components)
    points = ctypes.c_uint64()
    check(lib.kovan_array_points_with_values(pointer, step, index, ctypes.byref(points)))
    return names, points.value


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


def _options(wedge_order: int, missing_as_nan: bool = False, file_order: bool = False) -> OpenOptions:
    if wedge_order not in (0, 1):
        raise ValueError(f"wedge_order must be 0 or 1, not {wedge_order!r}")
    return OpenOptions(wedge_order, (OPEN_MISSING_AS_NAN if missing_as_nan else 0) | (OPEN_FILE_ORDER if file_order else 0))


class Document:
    """An open FRD file: its mesh, its step times and, per step, its arrays.
    Use it as a context manager, or call close(). Arrays it hands out share
    kovan's memory and stay valid after close()."""

    def __init__(self, path: PathType, wedge_order: int = 1, missing_as_nan: bool = False, file_order: bool = False):
        """Opens the FRD file at `path` (str, bytes or os.PathLike), or one read
        through a readable, seekable binary file object (an open file,
        io.BytesIO, an fsspec file of local or remote storage), which kovan
        reads where it needs to and never whole; the object must stay open
        while the document is used. wedge_order 1, the default, turns wedges
        to VTK's orientation; 0 keeps FRD's order.
        missing_as_nan makes the points a result block gives no value (output
        for a node set) NaN instead of 0.0; file_order numbers the steps in
        the order the file names them instead of by time."""
        options, pointer = _options(wedge_order, missing_as_nan, file_order), ctypes.c_void_p()
        if is_file_object(path):
            source = FileObjectSource(path)
            check(lib.kovan_open_source(ctypes.byref(source.record), ctypes.byref(options), ctypes.byref(pointer)))
            self._adopt(pointer.value, repr(path), source)
            return
        if not isinstance(path, (str, bytes, os.PathLike)):
            raise TypeError(f"a path is str, bytes, os.PathLike or a binary file object, not {type(path).__name__}; "
                            "FRD text in memory opens with kovan.open_bytes()")
        check(lib.kovan_open_ex(os.fsencode(path), ctypes.byref(options), ctypes.byref(pointer)))
        self._adopt(pointer.value, os.fsdecode(path))

    @classmethod
    def from_bytes(cls, data, wedge_order: int = 1, missing_as_nan: bool = False,
                   file_order: bool = False) -> "Document":
        """Opens FRD text held in memory (bytes, bytearray or any buffer)."""
        buffer, size = _buffer_of(data)
        options, pointer = _options(wedge_order, missing_as_nan, file_order), ctypes.c_void_p()
        check(lib.kovan_open_memory(buffer, size, ctypes.byref(options), ctypes.byref(pointer)))
        document = cls.__new__(cls)
        document._adopt(pointer.value, "<bytes>")
        return document

    def _adopt(self, pointer: int, source: str, reader=None) -> None:
        self._handle = _Handle(pointer, reader)
        self.source = source  # the path, "<bytes>", or the file object's repr
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
    def cell_groups(self) -> np.ndarray:
        """(n_cells,) the group number each element record states."""
        return self._mesh(lib.kovan_cell_groups, np.int32, (self.n_cells,))

    @property
    def cell_materials(self) -> np.ndarray:
        """(n_cells,) the material number each element record states (see materials)."""
        return self._mesh(lib.kovan_cell_materials, np.int32, (self.n_cells,))

    @property
    def materials(self) -> Dict[int, str]:
        """The materials the file names, number to name, in file order."""
        pointer, named = self._live().pointer, {}
        for i in range(lib.kovan_n_materials(pointer)):
            number, name = ctypes.c_int64(), ctypes.c_char_p()
            check(lib.kovan_material_at(pointer, i, ctypes.byref(number), ctypes.byref(name)))
            named[number.value] = _text(name.value)
        return named

    @property
    def header(self) -> List[Tuple[str, str]]:
        """The header records ("1U": DATE, PGM, VERSION, MAT, ...) as (key,
        value), in file order; the model's heading has the key ""."""
        pointer, records = self._live().pointer, []
        for i in range(lib.kovan_n_header_records(pointer)):
            key, value = ctypes.c_char_p(), ctypes.c_char_p()
            check(lib.kovan_header_record_at(pointer, i, ctypes.byref(key), ctypes.byref(value)))
            records.append((_text(key.value), _text(value.value)))
        return records

    def planned_arrays(self, index: int) -> List[PlannedArray]:
        """The arrays step `index` will have, told without decoding it (as a
        reader lists them before reading values): name, component count (0
        where the file states none), derived flag and component names."""
        n = len(self.steps)
        if not -n <= index < n:
            raise IndexError(f"step {index} of {n}")
        pointer, index = self._live().pointer, int(index) % n
        count = ctypes.c_uint64()
        check(lib.kovan_n_planned_arrays(pointer, index, ctypes.byref(count)))
        planned = []
        for i in range(count.value):
            info = ArrayInfo()
            check(lib.kovan_planned_array_at(pointer, index, i, ctypes.byref(info)))
            names = _component_names(lib.kovan_planned_component_name, pointer, index, i, info.n_components)
            planned.append(PlannedArray(_text(info.name), info.n_components, bool(info.derived), names))
        return planned

    def _copy_array(self, index: int, name: str, key=(), out: Optional[np.ndarray] = None) -> Optional[np.ndarray]:
        """The part `key` of the first array `name` of step `index`, copied
        into `out` (or a new array), or None when the step has none; a step
        that no Step or array holds is let go again afterwards, so that
        reading one array at a time holds no step. The caller keeps other
        threads off the same step meanwhile (the xarray engine locks each
        step)."""
        handle = self._live()
        index = int(index) % len(self.steps)
        held = index in self._steps or index in self._leases
        found = lib.kovan_find_array(handle.pointer, index, name.encode())
        if found < 0:
            count = ctypes.c_uint64()
            check(lib.kovan_n_arrays(handle.pointer, index, ctypes.byref(count)))  # a failed decode raises
            return None
        info = ArrayInfo()
        check(lib.kovan_array_info_at(handle.pointer, index, found, ctypes.byref(info)))
        values = ctypes.POINTER(ctypes.c_double)()
        check(lib.kovan_array_data(handle.pointer, index, found, ctypes.byref(values)))
        shape = (info.n_tuples,) if info.n_components == 1 else (info.n_tuples, info.n_components)
        part = _array(handle, values, np.float64, shape)[key]
        if out is None:
            out = np.array(part)
        elif out.shape == part.shape:
            out[...] = part
        else:
            raise ValueError(f"array {name} of step {index} is shaped {part.shape}, not {out.shape}")
        if not held:
            check(lib.kovan_release_step(handle.pointer, index))
        return out

    def step_info(self, index: int) -> Dict[str, Any]:
        """What the file says of step `index` without decoding it: as Step.info."""
        n = len(self.steps)
        if not -n <= index < n:
            raise IndexError(f"step {index} of {n}")
        return _step_info(self._live().pointer, int(index) % n)

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
        handle = self._live()
        check(lib.kovan_reopen(handle.pointer, ctypes.byref(pointer)))
        document = Document.__new__(Document)
        document._adopt(pointer.value, self.source, handle.source)
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


def open(path: PathType, wedge_order: int = 1, missing_as_nan: bool = False,  # noqa: A001 - as the builtin
         file_order: bool = False) -> Document:
    """Opens the FRD file at `path` (str, bytes or os.PathLike) or read through
    a binary file object; the options are Document's."""
    return Document(path, wedge_order, missing_as_nan, file_order)


def open_bytes(data, wedge_order: int = 1, missing_as_nan: bool = False, file_order: bool = False) -> Document:
    """Opens FRD text held in memory (bytes, bytearray or any buffer)."""
    return Document.from_bytes(data, wedge_order, missing_as_nan, file_order)
