"""VTK grids and .vtu/.pvd series from FRD documents."""

from pathlib import Path
from xml.sax.saxutils import quoteattr

import numpy as np


def to_vtk(document, step=None):
    """A vtkUnstructuredGrid with the document's points and cells, and the
    arrays of `step` (when given) as point data."""
    import vtk
    from vtk.util import numpy_support

    grid = vtk.vtkUnstructuredGrid()
    points = vtk.vtkPoints()
    points.SetData(numpy_support.numpy_to_vtk(np.array(document.points), deep=True))
    grid.SetPoints(points)
    cells = vtk.vtkCellArray()
    offsets = numpy_support.numpy_to_vtkIdTypeArray(np.array(document.offsets, dtype=np.int64), deep=True)
    connectivity = numpy_support.numpy_to_vtkIdTypeArray(np.array(document.connectivity, dtype=np.int64), deep=True)
    cells.SetData(offsets, connectivity)
    types = numpy_support.numpy_to_vtk(np.array(document.cell_types, dtype=np.uint8), deep=True,
                                       array_type=vtk.VTK_UNSIGNED_CHAR)
    grid.SetCells(types, cells)
    if step is not None:
        for name, values in document.step(step).items():
            array = numpy_support.numpy_to_vtk(np.array(values), deep=True)
            array.SetName(name)
            grid.GetPointData().AddArray(array)
    return grid


def export_vtu(frd_path, out_dir, progress=None, wedge_order=1, jobs=None):
    """Writes one .vtu per step and a .pvd collection of them (timesteps are
    the step times) into out_dir; returns the .pvd path. Steps are decoded on
    `jobs` threads (default: the machine's cores)."""
    import vtk
    from .document import Document

    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    stem = Path(frd_path).stem
    entries = []
    with Document(frd_path, wedge_order) as document:
        for decoded in document.decoded_steps(jobs):
            step, time = decoded.index, document.steps[decoded.index]
            name = f"{stem}_{step:04d}.vtu"
            writer = vtk.vtkXMLUnstructuredGridWriter()
            writer.SetFileName(str(out / name))
            writer.SetInputData(document.to_vtk(step))
            if not writer.Write():
                raise OSError(f"{out / name} could not be written")
            entries.append((time, name))
            if progress:
                progress(step + 1, len(document.steps))
    pvd = out / f"{stem}.pvd"
    lines = ['<?xml version="1.0"?>', '<VTKFile type="Collection" version="0.1">', "  <Collection>"]
    for part, (time, name) in enumerate(entries):
        lines.append(f"    <DataSet timestep={quoteattr(repr(time))} part=\"0\" file={quoteattr(name)}/>")
    lines += ["  </Collection>", "</VTKFile>", ""]
    pvd.write_text("\n".join(lines))
    return pvd
