"""meshio's FRD format and the XDMF series, read back by meshio and by VTK and
compared with kovan's own reading."""

import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import kovan

meshio = pytest.importorskip("meshio")
import kovan.meshio  # noqa: E402,F401 - registers the format

ROOT = Path(__file__).resolve().parents[2]
FILES = sorted((ROOT / "tests" / "data").glob("*.frd")) + [ROOT / "examples" / "data" / "cantilever.frd"]


def same_bits(a, b):
    a, b = np.ascontiguousarray(a, dtype=np.float64), np.ascontiguousarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.uint64), b.view(np.uint64))


def vtk_cells(mesh):
    """VTK types and flat connectivity of a meshio mesh, cell by cell."""
    from meshio._vtk_common import meshio_to_vtk_type
    types = [meshio_to_vtk_type[block.type] for block in mesh.cells for _ in block.data]
    return types, np.concatenate([block.data.reshape(-1) for block in mesh.cells]) if mesh.cells else []


@pytest.mark.parametrize("path", FILES, ids=lambda p: p.name)
def test_meshio_reads_and_writes_frd_as_kovan_does(path, tmp_path):
    mesh = meshio.read(path)
    with kovan.open(path) as doc:
        assert same_bits(mesh.points, doc.points)
        types, connectivity = vtk_cells(mesh)
        assert list(types) == list(doc.cell_types) and np.array_equal(connectivity, doc.connectivity)
        assert np.array_equal(np.concatenate(mesh.cell_data["ELEMENT_ID"] or [[]]), doc.cell_ids)
        assert np.array_equal(np.concatenate(mesh.cell_data["MATERIAL"] or [[]]), doc.cell_materials)
        assert np.array_equal(np.concatenate(mesh.cell_data["GROUP"] or [[]]), doc.cell_groups)
        last = dict(doc.step(-1)) if doc.steps else {}
        assert set(mesh.point_data) == {"NODE_ID"} | set(last)
        assert all(same_bits(mesh.point_data[name], values) for name, values in last.items())

    meshio.write(tmp_path / "out.frd", mesh, format="binary-double")
    with kovan.open(tmp_path / "out.frd") as written, kovan.open(path) as doc:
        assert same_bits(written.points, doc.points) and np.array_equal(written.node_ids, doc.node_ids)
        assert np.array_equal(written.connectivity, doc.connectivity) and np.array_equal(written.cell_ids, doc.cell_ids)
        for name, values in (dict(doc.step(-1)) if doc.steps else {}).items():
            assert same_bits(written.step(0)[name], values), name


def test_meshio_refuses_a_text_that_is_not_frd_and_reads_an_empty_file(tmp_path):
    (tmp_path / "notes.frd").write_bytes(b"a note, renamed\n")
    with pytest.raises(meshio.ReadError, match="not an FRD file"):
        kovan.meshio.read(tmp_path / "notes.frd")
    with pytest.raises(SystemExit):  # meshio 7.0 prints a reader's ReadError and exits
        meshio.read(tmp_path / "notes.frd")
    (tmp_path / "empty.frd").write_bytes(b"")
    assert len(meshio.read(tmp_path / "empty.frd").points) == 0
    assert kovan.diagnostic_description(kovan.NOT_FRD) == "not an FRD file"
    assert kovan.cell_type_description(12) == "8-node hexahedron (CalculiX type 1)"


def test_meshio_reads_any_step_and_warns_of_a_cut_off_block(tmp_path):
    path = ROOT / "tests" / "data" / "beam_frequency.frd"
    with kovan.open(path) as doc:
        for index in (0, 2, -1):
            mesh = kovan.meshio.read(path, step=index)
            assert same_bits(mesh.point_data["DISP"], doc.step(index)["DISP"])
    data = path.read_bytes()
    (tmp_path / "running.frd").write_bytes(data[:data.rindex(b"\n -3") - 200])  # the last block cut off
    with pytest.warns(UserWarning, match="cut off by the end of the file"):
        mesh = kovan.meshio.read(tmp_path / "running.frd")
    assert set(mesh.point_data) == {"NODE_ID"}  # the last step's one block is the one cut off


@pytest.mark.parametrize("name", ["cantilever.frd", "beam_frequency.frd"])
def test_one_xdmf_series_holds_every_step(name, tmp_path):
    path = ROOT / ("examples/data" if name == "cantilever.frd" else "tests/data") / name
    out = tmp_path / "series.xdmf"
    result = subprocess.run([sys.executable, "-m", "kovan", "xdmf", str(path), str(out), "--jobs", "3"],
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    with kovan.open(path) as doc:
        times = doc.steps if name == "cantilever.frd" else [0.0, 1.0, 2.0, 3.0]  # equal frequencies: indices
        with meshio.xdmf.TimeSeriesReader(str(out)) as reader:
            points, cells = reader.read_points_cells()
            assert same_bits(points, doc.points)
            assert reader.num_steps == len(doc.steps)
            for index in range(reader.num_steps):
                time, point_data, _ = reader.read_data(index)
                assert time == times[index]
                step = doc.step(index)
                assert set(point_data) == set(step)
                assert all(same_bits(point_data[n], as_tensor6(v)) for n, v in step.items())
        check_with_vtk(out, doc, times)


def test_tensors_written_in_pieces_read_back_whole(monkeypatch, tmp_path):
    from kovan.xdmf import _Tensor6, export_xdmf
    monkeypatch.setattr(_Tensor6, "ROWS", 7)  # the sample's 99 points in 15 pieces, the last short
    out = export_xdmf(ROOT / "examples" / "data" / "cantilever.frd", tmp_path / "pieces.xdmf", jobs=2)
    with kovan.open(ROOT / "examples" / "data" / "cantilever.frd") as doc, \
            meshio.xdmf.TimeSeriesReader(str(out)) as reader:
        reader.read_points_cells()
        for index in range(reader.num_steps):
            _, point_data, _ = reader.read_data(index)
            assert same_bits(point_data["STRESS"], as_tensor6(doc.step(index)["STRESS"]))


def as_tensor6(values):
    """FRD's symmetric tensor order (XX YY ZZ XY YZ XZ) as XDMF's Tensor6 (XX XY XZ YY YZ ZZ)."""
    if values.ndim != 2 or values.shape[1] != 6:
        return values
    xx, yy, zz, xy, yz, xz = values.T
    return np.stack([xx, xy, xz, yy, yz, zz], axis=1)


def as_full_tensor(values):
    """A symmetric tensor in FRD's order as the 3 x 3 matrix VTK makes of a Tensor6, row by row."""
    if values.ndim != 2 or values.shape[1] != 6:
        return values
    xx, yy, zz, xy, yz, xz = values.T
    return np.stack([xx, xy, xz, xy, yy, yz, xz, yz, zz], axis=1)


def check_with_vtk(out, doc, times):
    from vtkmodules.util.numpy_support import vtk_to_numpy
    from vtkmodules.vtkIOXdmf2 import vtkXdmfReader
    reader = vtkXdmfReader()
    reader.SetFileName(str(out))
    reader.UpdateInformation()
    for index, time in enumerate(times):
        reader.UpdateTimeStep(time)
        blocks = reader.GetOutputDataObject(0)  # meshio's series, and its mesh on its own
        names = [blocks.GetMetaData(i).Get(blocks.NAME()) for i in range(blocks.GetNumberOfBlocks())]
        grid = blocks.GetBlock(names.index("TimeSeries_meshio"))
        assert grid.GetNumberOfPoints() == doc.n_points and grid.GetNumberOfCells() == doc.n_cells
        for name, values in doc.step(index).items():
            read = vtk_to_numpy(grid.GetPointData().GetArray(name))
            assert same_bits(read.reshape(len(values), -1), as_full_tensor(values).reshape(len(values), -1)), name
