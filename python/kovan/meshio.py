"""FRD as a meshio format: importing this module registers it, so that

    import kovan.meshio
    mesh = meshio.read("result.frd")           # the mesh with the last step's point data
    mesh = kovan.meshio.read("result.frd", step=0)   # any step
    meshio.write("out.frd", mesh)              # through kovan's Writer (binary-float)

Point data NODE_ID and cell data ELEMENT_ID carry the FRD numbers; a mesh
written with them keeps them. Cell data MATERIAL and GROUP are the numbers
each element record states (kovan.Document.materials names the materials).
"""

import warnings
from typing import Dict, List, Tuple

import meshio
import numpy as np
from meshio._mesh import topological_dimension
from meshio._vtk_common import meshio_to_vtk_type, vtk_to_meshio_type

from .document import INCOMPLETE_BLOCK, NOT_FRD, Document, PathType, diagnostic_description
from .writing import FormatType, Writer


def cell_blocks(doc: Document) -> Tuple[List[Tuple[str, np.ndarray]], List[np.ndarray]]:
    """The document's cells as meshio blocks, one per run of cells of one
    type in file order, and the element numbers of each block."""
    types, offsets, connectivity, ids = doc.cell_types, doc.offsets, doc.connectivity, doc.cell_ids
    starts = np.flatnonzero(np.diff(types.astype(np.int16), prepend=-1)) if len(types) else np.array([], int)
    blocks, block_ids = [], []
    for start, end in zip(starts, list(starts[1:]) + [len(types)]):
        nodes = connectivity[offsets[start]:offsets[end]].reshape(end - start, -1)
        blocks.append((vtk_to_meshio_type[int(types[start])], np.array(nodes)))
        block_ids.append(np.array(ids[start:end]))
    return blocks, block_ids


def _per_block(values: np.ndarray, block_ids: List[np.ndarray]) -> List[np.ndarray]:
    ends = np.cumsum([len(ids) for ids in block_ids])
    return [np.array(part) for part in np.split(values, ends[:-1])] if block_ids else []


def _warn_of_cut_blocks(doc: Document) -> None:
    for d in doc.diagnostics:
        if d.kind == INCOMPLETE_BLOCK:
            warnings.warn(f"{doc.source}: the block at line {d.line} is cut off by the end of the file "
                          f"({d.found} of {d.expected} records; the file may still be being written) and is "
                          "left out", stacklevel=3)


def read(filename: PathType, missing_as_nan: bool = False, step: int = -1) -> meshio.Mesh:
    """The FRD file's mesh with the arrays of step `step` (default the last;
    negative counts from the end) as point data (copies). missing_as_nan:
    points the file gives no value read NaN instead of 0.0. A block the end
    of the file cuts off is left out with a warning."""
    with Document(filename, missing_as_nan=missing_as_nan) as doc:
        if any(d.kind == NOT_FRD for d in doc.diagnostics):
            raise meshio.ReadError(f"{doc.source}: {diagnostic_description(NOT_FRD)}")
        _warn_of_cut_blocks(doc)
        blocks, block_ids = cell_blocks(doc)
        point_data: Dict[str, np.ndarray] = {"NODE_ID": np.array(doc.node_ids)}
        if doc.steps:
            point_data.update({name: np.array(values) for name, values in doc.step(step).items()})
        cell_data = {"ELEMENT_ID": block_ids, "MATERIAL": _per_block(doc.cell_materials, block_ids),
                     "GROUP": _per_block(doc.cell_groups, block_ids)}
        return meshio.Mesh(np.array(doc.points), blocks, point_data=point_data, cell_data=cell_data)


def _vtk_cells(mesh: meshio.Mesh):
    types, offsets, connectivity = [], [0], []
    for block in mesh.cells:
        if block.type not in meshio_to_vtk_type:
            raise ValueError(f"cells of type {block.type!r} have no VTK type")
        data = np.asarray(block.data, dtype=np.int64)
        types.append(np.full(len(data), meshio_to_vtk_type[block.type], dtype=np.uint8))
        offsets.append(offsets[-1] + np.arange(1, len(data) + 1) * data.shape[1])
        connectivity.append(data.reshape(-1))
    join = lambda parts, dtype: np.concatenate([np.asarray(p, dtype=dtype).reshape(-1) for p in parts])
    return join(types or [[]], np.uint8), join(offsets, np.int64), join(connectivity or [[]], np.int64)


def write(filename: PathType, mesh: meshio.Mesh, format: FormatType = "binary-float", step: int = 1,
          time: float = 0.0) -> None:
    """Writes the mesh and its point data as one step of an FRD file. Points
    in two dimensions get z = 0; arrays of more than two dimensions are
    flattened per point."""
    points = np.asarray(mesh.points, dtype=np.float64)
    if points.ndim == 2 and points.shape[1] == 2:
        points = np.hstack([points, np.zeros((len(points), 1))])
    cell_ids = mesh.cell_data.get("ELEMENT_ID")
    with Writer(format) as writer:
        writer.set_nodes(points, mesh.point_data.get("NODE_ID"))
        writer.set_cells(*_vtk_cells(mesh), None if cell_ids is None else np.concatenate(cell_ids))
        arrays = {name: values for name, values in mesh.point_data.items() if name != "NODE_ID"}
        if arrays:
            writer.begin_step(step, time)
        for name, values in arrays.items():
            values = np.asarray(values, dtype=np.float64)
            writer.add_array(name, values.reshape(len(values), -1) if values.ndim > 2 else values)
        data = writer.finish()
    with open(filename, "wb") as out:
        out.write(data)


# meshio 7.0 knows the quadratic wedge and pyramid by name and VTK type, but
# not their dimension, without which it cannot hold them in a mesh.
for _solid in ("wedge15", "pyramid13"):
    topological_dimension.setdefault(_solid, 3)

meshio.register_format("frd", [".frd"], read, {"frd": write})
