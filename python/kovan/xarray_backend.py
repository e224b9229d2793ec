"""xarray's engine "kovan": FRD files as lazy xarray Datasets.

    ds = xr.open_dataset("run.frd", engine="kovan")                  # nothing decoded yet
    ds["STRESS_Mises"].isel(step=-1).values                          # decodes the last step, then lets it go
    ds = xr.open_dataset("run.frd", engine="kovan", chunks={"step": 1})   # dask: one task per step

Dimensions `step`, `point`, `cell`, and `NAME_component` for an array of
several components (its coordinate holds the file's component names).
Coordinates: `time`, `node_id`, `x`, `y`, `z`, and what the file states of
the steps (`set_number`, `step_number`, `increment`, `analysis`, `mode`,
`nodal_diameter`: integers where every step states them, NaN where some do
not). One variable per array name, NaN in a step that lacks it; the cells
as variables of their own (`cell_type`, `cell_offsets`, `connectivity`,
`cell_id`, `cell_group`, `cell_material`). The arrays pickle to the path and
options, never a handle: a worker process reopens the file and keeps a few
documents open.
"""

import os
import threading
from collections import OrderedDict
from typing import Any, Dict, Tuple

import numpy as np
import xarray as xr
from xarray.backends import BackendArray, BackendEntrypoint
from xarray.core import indexing

from .document import Document

_OPEN_DOCUMENTS = 8
_documents: "OrderedDict[Any, Tuple[Document, Dict[int, threading.Lock]]]" = OrderedDict()
_documents_lock = threading.Lock()

_FACTS = {"set_number": "set_number", "step_number": "step", "increment": "increment", "analysis": "analysis",
          "mode": "mode", "nodal_diameter": "nodal_diameter"}


class _Opener:
    """What it takes to read the file again in any process: its path (or
    file object) and the options. Each process keeps the documents it
    opened, a few at a time, with one lock per step: a step is decoded,
    copied from and let go by one thread at a time."""

    def __init__(self, target, options: Dict[str, Any]):
        self.target, self.options = target, options

    def __getstate__(self):
        return {"target": self.target, "options": self.options}

    def __setstate__(self, state):
        self.__init__(state["target"], state["options"])

    def _key(self):
        target = self.target if isinstance(self.target, str) else id(self.target)
        return target, tuple(sorted(self.options.items()))

    def document(self) -> Tuple[Document, Dict[int, threading.Lock]]:
        key = self._key()
        with _documents_lock:
            entry = _documents.pop(key, None)
            if entry is None:
                entry = (Document(self.target, **self.options), {})
            _documents[key] = entry
            while len(_documents) > _OPEN_DOCUMENTS:
                _documents.popitem(last=False)  # closed once no array in flight holds it
            return entry

    def step_lock(self, locks: Dict[int, threading.Lock], step: int) -> threading.Lock:
        with _documents_lock:
            return locks.setdefault(step, threading.Lock())


class _StepArray(BackendArray):
    """One array name over every step: indexing a step decodes it, copies
    the array and lets the step go."""

    def __init__(self, opener: _Opener, name: str, shape: Tuple[int, ...]):
        self.opener, self.name, self.shape, self.dtype = opener, name, shape, np.dtype(np.float64)

    def __getitem__(self, key):
        return indexing.explicit_indexing_adapter(key, self.shape, indexing.IndexingSupport.BASIC, self._read)

    def _read(self, key):
        steps = np.arange(self.shape[0])[key[0]]
        part = np.broadcast_to(np.empty(()), self.shape[1:])[key[1:]].shape
        out = np.empty((len(np.atleast_1d(steps)),) + part)
        doc, locks = self.opener.document()
        for row, step in enumerate(np.atleast_1d(steps)):
            with self.opener.step_lock(locks, int(step)):
                try:
                    found = doc._copy_array(int(step), self.name, key[1:], out[row])
                except ValueError as error:  # the step's array has another shape than its blocks promised
                    raise ValueError(f"{doc.source}: array {self.name} of step {step} is not shaped "
                                     f"{self.shape[1:]} as its blocks' component lines promise") from error
            if found is None:
                out[row] = np.nan
        return out if np.ndim(steps) else out[0]


class _MeshArray(BackendArray):
    """One of the document's mesh arrays (a column of the points for x, y
    and z), read when indexed: a dataset carries no copy of the mesh, so
    that it pickles small and an ensemble of datasets opens fast."""

    def __init__(self, opener: _Opener, attribute: str, column, template: np.ndarray):
        self.opener, self.attribute, self.column = opener, attribute, column
        self.shape = template.shape if column is None else template.shape[:1]
        self.dtype = template.dtype

    def __getitem__(self, key):
        return indexing.explicit_indexing_adapter(key, self.shape, indexing.IndexingSupport.BASIC, self._read)

    def _read(self, key):
        values = getattr(self.opener.document()[0], self.attribute)
        return np.array(values if self.column is None else values[:, self.column])[key]


def _variables(doc: Document, opener: _Opener, derived: bool, drop) -> Tuple[Dict[str, xr.Variable], Dict]:
    planned = {}
    for step in range(len(doc.steps)):
        for array in doc.planned_arrays(step):
            if (derived or not array.derived) and array.name not in drop:
                planned.setdefault(array.name, array)
    variables, coords = {}, {}
    n_steps, n_points = len(doc.steps), doc.n_points
    for name, array in planned.items():
        several = array.components > 1
        dims = ("step", "point", f"{name}_component") if several else ("step", "point")
        shape = (n_steps, n_points, array.components) if several else (n_steps, n_points)
        variable = xr.Variable(dims, indexing.LazilyIndexedArray(_StepArray(opener, name, shape)))
        variable.encoding["preferred_chunks"] = {"step": 1}
        variables[name] = variable
        if several:
            coords[f"{name}_component"] = (f"{name}_component", list(array.component_names))
    return variables, coords


def _step_coordinates(doc: Document) -> Dict[str, Any]:
    facts = [doc.step_info(step) for step in range(len(doc.steps))]
    coords = {"time": ("step", np.array(doc.steps, dtype=np.float64))}
    for coordinate, key in _FACTS.items():
        values = [fact[key] for fact in facts]
        if facts and all(v is not None for v in values):
            coords[coordinate] = ("step", np.array(values, dtype=np.int64))
        elif any(v is not None for v in values):
            coords[coordinate] = ("step", np.array([np.nan if v is None else v for v in values], dtype=np.float64))
    return coords


_MESH = {"node_id": ("point", "node_ids", None), "x": ("point", "points", 0), "y": ("point", "points", 1),
         "z": ("point", "points", 2)}
_CELLS = {"cell_type": ("cell", "cell_types"), "cell_offsets": ("cell_offset", "offsets"),
          "connectivity": ("connectivity", "connectivity"), "cell_id": ("cell", "cell_ids"),
          "cell_group": ("cell", "cell_groups"), "cell_material": ("cell", "cell_materials")}


def _mesh(doc: Document, opener: _Opener) -> Tuple[Dict[str, Any], Dict[str, Any]]:
    def lazy(dim, attribute, column=None):
        array = _MeshArray(opener, attribute, column, getattr(doc, attribute))
        return xr.Variable(dim, indexing.LazilyIndexedArray(array))
    coords = {name: lazy(dim, attribute, column) for name, (dim, attribute, column) in _MESH.items()}
    cells = {name: lazy(dim, attribute) for name, (dim, attribute) in _CELLS.items()}
    return coords, cells


class KovanBackendEntrypoint(BackendEntrypoint):
    """xarray's engine for CalculiX FRD files, through kovan."""

    description = "CalculiX FRD result files (ASCII and binary), read lazily by kovan"
    open_dataset_parameters = ("filename_or_obj", "drop_variables", "wedge_order", "missing_as_nan", "derived")

    def guess_can_open(self, filename_or_obj) -> bool:
        try:
            return os.fspath(filename_or_obj).lower().endswith(".frd")
        except TypeError:
            return False

    def open_dataset(self, filename_or_obj, *, drop_variables=None, wedge_order: int = 1,
                     missing_as_nan: bool = False, derived: bool = True) -> xr.Dataset:
        target = filename_or_obj
        if isinstance(target, (str, bytes, os.PathLike)):
            target = os.path.abspath(os.fsdecode(target))
        opener = _Opener(target, {"wedge_order": wedge_order, "missing_as_nan": missing_as_nan})
        doc, _ = opener.document()
        variables, component_coords = _variables(doc, opener, derived, set(drop_variables or ()))
        mesh_coords, cells = _mesh(doc, opener)
        materials = doc.materials
        attrs = {"source": doc.source, "material_numbers": list(materials), "material_names": list(materials.values())}
        coords = {**_step_coordinates(doc), **mesh_coords, **component_coords}
        return xr.Dataset({**variables, **cells}, coords=coords, attrs=attrs)
