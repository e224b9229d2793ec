"""The Python package over the C interface: zero copy, lifetimes, values, VTK."""

import ctypes
import gc
import os
from pathlib import Path

import numpy as np
import pytest

import kovan
from kovan._lib import lib

DATA = Path(__file__).resolve().parents[2] / "tests" / "data"
SAMPLE = Path(__file__).resolve().parents[2] / "examples" / "data" / "cantilever.frd"


def address(pointer):
    return ctypes.cast(pointer, ctypes.c_void_p).value


def test_arrays_share_the_librarys_memory():
    with kovan.open(DATA / "hex8_static.frd") as doc:
        handle = doc._handle.pointer
        assert doc.points.__array_interface__["data"][0] == address(lib.kovan_points(handle))
        assert doc.connectivity.__array_interface__["data"][0] == address(lib.kovan_cell_connectivity(handle))
        disp = doc.step(1)["DISP"]
        values = ctypes.POINTER(ctypes.c_double)()
        assert lib.kovan_array_data(handle, 1, 0, ctypes.byref(values)) == 0
        assert disp.__array_interface__["data"][0] == address(values)
        assert not disp.flags.writeable
        with pytest.raises(ValueError):
            disp[0, 0] = 1.0


def test_arrays_outlive_close():
    doc = kovan.open(DATA / "hex8_static.frd")
    points, disp = doc.points, doc.step(1)["DISP"]
    doc.close()
    del doc
    gc.collect()
    assert points.shape == (12, 3) and points[2, 0] == 2.0
    assert disp.shape == (12, 3)
    assert disp[1, 0] == pytest.approx(1.045471e-04, rel=1e-5)  # node 2 at time 1.0, as the solver printed it


def test_closed_document_refuses_queries():
    doc = kovan.open(DATA / "hex8_static.frd")
    doc.close()
    with pytest.raises(kovan.KovanError):
        doc.points


def test_mesh_steps_and_derived_arrays():
    with kovan.open(DATA / "hex20_binary.frd") as doc:
        assert list(doc.node_ids[:2]) == [10001, 10002]
        assert list(doc.cell_types) == [25, 25]
        assert list(doc.offsets) == [0, 20, 40]
        assert list(doc.cell_ids) == [1, 2]
        assert doc.steps == [1.0]
        step = doc.step(0)
        assert list(step)[:3] == ["DISP", "STRESS", "STRESS_Mises"]
        assert step["STRESS"].shape == (32, 6)
        assert step.derived["STRESS_Mises"] and not step.derived["STRESS"]
        assert doc.diagnostics == []


def test_failures_raise_one_exception_class_with_status_and_detail():
    with pytest.raises(kovan.KovanError) as missing:
        kovan.open(DATA / "no such file.frd")
    assert missing.value.status == 1
    assert missing.value.detail == "the file could not be opened for reading"
    with pytest.raises(kovan.KovanError) as parse:
        kovan.open(b"    2C x 3\n")
    assert parse.value.status == 2
    assert parse.value.detail.startswith("truncated binary node block")
    text = b"    2C\n -1 1 0 0 0\n -1 2 1 0 0\n -3\n  100CL 1 1.0 2 0 1\n -4 S 6 1\n -1 1 1 2 3 4 5 6\n -1 2 1 2\n -3\n"
    with kovan.open(text) as doc, pytest.raises(kovan.KovanError) as components:
        doc.step(0)
    assert components.value.status == 6
    assert components.value.detail == "array 'S': node 2 has 2 components, expected 6"


def test_convert_and_write_round_trip():
    original = (DATA / "hex8_static.frd").read_bytes()
    binary = kovan.convert(original, to="binary-double")
    assert kovan.convert(kovan.convert(binary, to="ascii-long")) == original
    writer = kovan.Writer("binary-float")
    points = np.array([[0, 0, 0], [1, 0, 0], [0, 1, 0], [0, 0, 1]], dtype=float)
    writer.set_nodes(points, node_ids=[5, 6, 7, 8])
    writer.set_cells([10], [0, 4], [0, 1, 2, 3])
    writer.begin_step(1, 0.5)
    writer.add_array("T", np.array([1.0, 2.0, 3.0, 4.0]))
    with kovan.open(writer.finish()) as doc:
        assert list(doc.node_ids) == [5, 6, 7, 8]
        assert doc.step(0)["T"][:, 0].tolist() == [1.0, 2.0, 3.0, 4.0]
    with pytest.raises(kovan.KovanError) as refused:
        kovan.Writer("ascii-long").add_array("T", np.zeros(4))
    assert refused.value.status == 5


def test_vtu_series_reads_back_with_vtks_reader(tmp_path):
    vtk = pytest.importorskip("vtk")
    from vtk.util import numpy_support

    pvd = kovan.export_vtu(SAMPLE, tmp_path)
    assert "timestep=\"0.5\"" in pvd.read_text() and "timestep=\"1.0\"" in pvd.read_text()
    with kovan.open(SAMPLE) as doc:
        for step in range(len(doc.steps)):
            reader = vtk.vtkXMLUnstructuredGridReader()
            reader.SetFileName(str(tmp_path / f"cantilever_{step:04d}.vtu"))
            reader.Update()
            grid = reader.GetOutput()
            assert grid.GetNumberOfPoints() == doc.n_points and grid.GetNumberOfCells() == doc.n_cells
            for name, values in doc.step(step).items():
                read = numpy_support.vtk_to_numpy(grid.GetPointData().GetArray(name))
                assert np.array_equal(read.reshape(values.shape), values), name


@pytest.mark.parametrize("name", ["hex8_static.frd", "tet4_high_ids.frd", "wedges.frd", "hex20_binary.frd",
                                  "beam_frequency.frd", "heat_transfer.frd", "hex20_cgx_short.frd"])
def test_every_solid_cell_has_positive_volume_in_vtk(name):
    vtk = pytest.importorskip("vtk")
    from vtk.util import numpy_support

    with kovan.open(DATA / name) as doc:
        sizes = vtk.vtkCellSizeFilter()
        sizes.SetInputData(doc.to_vtk())
        sizes.ComputeVolumeOn()
        sizes.Update()
        volumes = numpy_support.vtk_to_numpy(sizes.GetOutput().GetCellData().GetArray("Volume"))
        assert len(volumes) == doc.n_cells and (volumes > 0).all(), volumes


def test_preview_renders_a_picture(tmp_path):
    vtk = pytest.importorskip("vtk")
    if os.name != "nt" and not os.environ.get("DISPLAY"):
        pytest.skip("no display for VTK's off-screen rendering (CI runs this under xvfb-run)")
    from vtk.util import numpy_support
    from kovan.__main__ import main

    out = tmp_path / "preview.png"
    assert main(["preview", str(SAMPLE), "--array", "DISP", "-o", str(out)]) == 0
    reader = vtk.vtkPNGReader()
    reader.SetFileName(str(out))
    reader.Update()
    pixels = numpy_support.vtk_to_numpy(reader.GetOutput().GetPointData().GetScalars())
    assert len(np.unique(pixels.reshape(len(pixels), -1)[:, :3], axis=0)) > 20  # a picture, not a blank
