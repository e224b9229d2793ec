"""Every step of an FRD file as one XDMF time series (meshio's TimeSeriesWriter)."""

import copy
import os
import xml.etree.ElementTree as ET
from pathlib import Path
from typing import Callable, List, Optional

import numpy as np

from .document import Document, PathType


def time_values(times: List[float]) -> List[float]:
    """The step times when they increase strictly, the step indices otherwise:
    readers of a series need distinct times, and real files repeat theirs
    (modes of equal frequency, a static state and buckling factors at 0)."""
    increasing = all(a < b for a, b in zip(times, times[1:])) and not (times and np.isnan(times[0]))
    return list(times) if increasing else [float(i) for i in range(len(times))]


# FRD stores a symmetric tensor as XX YY ZZ XY YZ XZ; XDMF's Tensor6, which
# meshio makes of every six-component array, as XX XY XZ YY YZ ZZ.
TENSOR6_FROM_FRD = [0, 3, 5, 1, 4, 2]


class _Tensor6:
    """A tensor of kovan's as XDMF's Tensor6 holds it, reordered a few
    thousand points at a time as it is written, never copied whole."""

    ROWS = 1 << 16

    def __init__(self, values: np.ndarray):
        self.values, self.shape, self.dtype = values, values.shape, values.dtype


def _xdmf_values(values: np.ndarray):
    """Every array written from kovan's memory; tensors reordered on the way."""
    return _Tensor6(values) if values.ndim == 2 and values.shape[1] == 6 else values


def _series_writer(xdmf_path: Path):
    from meshio.xdmf import TimeSeriesWriter

    class SeriesWriter(TimeSeriesWriter):
        """meshio 7.0 puts the HDF5 file into the working folder, under the
        XDMF file's name; it belongs beside the XDMF file, where readers look."""

        def __enter__(self):
            import h5py
            self.h5_filename = str(self.filename.with_suffix(".h5"))
            self.h5_file = h5py.File(self.h5_filename, "w")
            return self

        def write_points_cells(self, points, cells):
            super().write_points_cells(points, cells)
            mesh = self.domain.find(f"Grid[@Name='{self.mesh_name}']")
            self.mesh_parts = [part for part in mesh if part.tag in ("Topology", "Geometry")]

        # meshio names the mesh in every step by an XInclude of an XPointer
        # that searches the whole document (//Grid[@Name=...]): a reader
        # resolves one per step, which makes opening a series quadratic in its
        # steps (minutes at ten thousand). Each step holds a copy of the
        # mesh's two references into the HDF5 file instead.
        def write_data(self, t, point_data=None, cell_data=None):
            if cell_data:
                raise ValueError("the series holds point data only")
            grid = ET.SubElement(self.collection, "Grid")
            for part in self.mesh_parts:
                grid.append(copy.deepcopy(part))
            ET.SubElement(grid, "Time", Value=str(t))
            if point_data:
                self.point_data(point_data, grid)

        def numpy_to_xml_string(self, data):
            if not isinstance(data, _Tensor6):
                return super().numpy_to_xml_string(data)
            name = f"data{self.data_counter}"
            self.data_counter += 1
            dataset = self.h5_file.create_dataset(name, shape=data.shape, dtype=data.dtype)
            for start in range(0, data.shape[0], data.ROWS):
                dataset[start:start + data.ROWS] = data.values[start:start + data.ROWS][:, TENSOR6_FROM_FRD]
            return os.path.basename(self.h5_filename) + ":/" + name

    return SeriesWriter(str(xdmf_path))


def export_xdmf(frd_path: PathType, xdmf_path: PathType, progress: Optional[Callable[[int, int], None]] = None,
                wedge_order: int = 1, jobs: Optional[int] = None) -> Path:
    """Writes the mesh once and every step's arrays (derived ones included) as
    one time series: xdmf_path and its HDF5 file beside it. Six-component
    arrays are stored in XDMF's Tensor6 order. Steps are decoded on `jobs`
    threads (default: the machine's cores). Returns xdmf_path."""
    from .meshio import cell_blocks

    xdmf_path = Path(xdmf_path)
    with Document(frd_path, wedge_order) as doc:
        with _series_writer(xdmf_path) as writer:
            # The mesh is written straight from kovan's memory, and its
            # blocks are let go before the steps come.
            writer.write_points_cells(doc.points, cell_blocks(doc)[0])
            times = time_values(doc.steps)
            # Each step held by one name only (zip would keep the one before
            # alive into the next turn), so that it is let go in time.
            for step in doc.decoded_steps(jobs):
                writer.write_data(times[step.index], point_data={name: _xdmf_values(values) for name, values in step.items()})
                if progress:
                    progress(step.index + 1, len(doc.steps))
    return xdmf_path
