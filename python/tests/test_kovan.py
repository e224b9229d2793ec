"""The Python package over the C interface: zero copy, lifetimes, values, VTK."""

import ctypes
import gc
import io
import json
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

import kovan
from kovan._lib import lib
from kovan.errors import check

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
    with pytest.raises(ValueError, match="closed"):
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


def test_failures_raise_the_exception_of_their_status_with_its_detail():
    with pytest.raises(kovan.KovanIOError) as missing:
        kovan.open(DATA / "no such file.frd")
    assert missing.value.status is kovan.Status.IO and isinstance(missing.value, OSError)
    assert missing.value.detail == "the file could not be opened for reading"
    with pytest.raises(kovan.ParseError) as parse:
        kovan.open_bytes(b"    2C x 3\n")
    assert parse.value.status == 2 and parse.value.detail.startswith("truncated binary node block")
    text = b"    2C\n -1 1 0 0 0\n -1 2 1 0 0\n -3\n  100CL 1 1.0 2 0 1\n -4 S 6 1\n -1 1 1 2 3 4 5 6\n -1 2 1 2\n -3\n"
    with kovan.open_bytes(text) as doc, pytest.raises(kovan.ComponentsError) as components:
        doc.step(0)
    assert components.value.status is kovan.Status.COMPONENTS
    assert components.value.detail == "array 'S': node 2 has 2 components, expected 6"
    # Each failure carries its own text, never the one before it.
    with kovan.open_bytes(text) as doc, pytest.raises(kovan.RangeError) as beyond:
        check(lib.kovan_step_time(doc._handle.pointer, 5, ctypes.byref(ctypes.c_double())))
    assert beyond.value.detail == "step 5 is out of range: the document has 1 step"


def test_released_steps_free_their_memory_only_once_no_array_holds_it(monkeypatch, tmp_path):
    released = []
    release = lib.kovan_release_step
    monkeypatch.setattr(lib, "kovan_release_step", lambda doc, step: released.append(step) or release(doc, step))
    with kovan.open(DATA / "hex8_static.frd") as doc:
        with doc.step(0) as step:
            disp = step["DISP"]
        expected = disp.copy()
        del step
        assert released == []  # disp still points into the step
        assert np.array_equal(disp, expected)
        del disp
        gc.collect()
        assert released == [0]
        assert np.array_equal(doc.step(0)["DISP"], expected)  # decoded again
        assert [s.index for s in doc.decoded_steps(jobs=2)] == [0, 1] and sorted(released) == [0, 0, 1]

    # decoded_steps holds `jobs` steps at a time, the one handed out among them.
    live, most = set(), [0]
    init, final = kovan.document._Lease.__init__, kovan.document._Lease.__del__

    def counted_init(lease, handle, index):
        init(lease, handle, index)
        live.add(index)
        most[0] = max(most[0], len(live))

    def counted_del(lease):
        live.discard(lease.index)
        final(lease)

    monkeypatch.setattr(kovan.document._Lease, "__init__", counted_init)
    monkeypatch.setattr(kovan.document._Lease, "__del__", counted_del)
    with kovan.open(DATA / "beam_frequency.frd") as doc:
        for step in doc.decoded_steps(jobs=2):
            assert len(step) > 0
    assert 0 < most[0] <= 2

    # A running solver's file: the refreshed document holds the new steps,
    # shares the mesh, and the old one stays as it was.
    whole = (DATA / "hex8_static.frd").read_bytes()
    second = whole.index(b"  100CL", whole.index(b"  100CL") + 1)
    growing = tmp_path / "growing.frd"
    growing.write_bytes(whole[:second])
    with kovan.open(growing) as doc:
        growing.write_bytes(whole)
        with doc.refresh() as grown:
            assert (len(doc.steps), len(grown.steps)) == (1, 2)
            assert address(lib.kovan_points(grown._handle.pointer)) == address(lib.kovan_points(doc._handle.pointer))
            assert np.array_equal(grown.step(1)["DISP"], kovan.open(DATA / "hex8_static.frd").step(1)["DISP"])


def test_convert_and_write_round_trip():
    original = (DATA / "hex8_static.frd").read_bytes()
    binary = kovan.convert(DATA / "hex8_static.frd", to="binary-double")
    assert kovan.convert_bytes(kovan.convert_bytes(bytearray(binary), to="ascii-long")) == original
    with kovan.Writer("binary-float") as writer:
        points = np.array([[0, 0, 0], [1, 0, 0], [0, 1, 0], [0, 0, 1]], dtype=float)
        writer.set_nodes(points, node_ids=[5, 6, 7, 8])
        writer.set_cells([10], [0, 4], [0, 1, 2, 3])
        writer.begin_step(1, 0.5)
        writer.add_array("T", np.array([1.0, 2.0, 3.0, 4.0]))
        writer.add_array("U", np.ones((4, 3)), component_names=["UX", None, "UZ"])
        data = writer.finish()
    with kovan.open_bytes(data) as doc:
        assert list(doc.node_ids) == [5, 6, 7, 8]
        assert doc.step(0)["T"].tolist() == [1.0, 2.0, 3.0, 4.0]  # a scalar has shape (n,)
        assert doc.step(0)["U"].shape == (4, 3)
    assert b" -5  UX      " in kovan.convert_bytes(data, "ascii-long") and b" -5  U2      " in kovan.convert_bytes(data, "ascii-long")


def test_writer_misuse_raises_instead_of_reading_past_the_callers_arrays():
    writer = kovan.Writer("ascii-long")
    with pytest.raises(ValueError, match="set_nodes"):
        writer.add_array("T", np.zeros(4))
    writer.set_nodes(np.zeros((5, 3)))
    writer.begin_step(1, 1.0)
    for values in (np.zeros(2), np.zeros((1, 3)), np.zeros((6, 1)), np.zeros((5, 0)), np.zeros((5, 2, 2))):
        with pytest.raises(ValueError, match="one row per point"):
            writer.add_array("T", values)
    with pytest.raises(ValueError, match="3 names"):
        writer.add_array("U", np.zeros((5, 3)), component_names=["X"])
    with pytest.raises(ValueError, match="NUL"):
        writer.add_array("T\0X", np.zeros(5))
    with pytest.raises(TypeError):
        writer.add_array(7, np.zeros(5))
    for values in ([None, 1.0, 2.0, 3.0, 4.0], ["1", "2", "3", "4", "5"], [b"1"] * 5, np.ones(5, complex)):
        with pytest.raises(TypeError, match="integers or reals"):
            writer.add_array("T", values)
    with pytest.raises(kovan.ArgumentError) as refused:  # kovan's own check, with its text
        writer.add_array("TWO WORDS", np.zeros(5))
    assert refused.value.detail == 'array name "TWO WORDS" is empty or contains whitespace, and would not survive being read back'
    with pytest.raises(ValueError, match="unknown format"):
        kovan.Writer("binary")
    writer.finish()
    with pytest.raises(ValueError, match="finished"):
        writer.begin_step(2, 2.0)


def test_paths_name_files_and_bytes_in_memory_open_on_their_own(tmp_path):
    original = DATA / "hex8_static.frd"
    odd = tmp_path / os.fsdecode(b"r\xe9sultat.frd")  # not UTF-8, as Linux allows
    odd.write_bytes(original.read_bytes())
    for path in (str(original), bytes(original), original, odd, os.fsencode(odd)):
        with kovan.open(path) as doc:
            assert doc.n_points == 12 and len(doc.steps) == 2
    with pytest.raises(TypeError, match="open_bytes"):
        kovan.open(bytearray(original.read_bytes()))
    with kovan.open_bytes(memoryview(original.read_bytes())) as doc:
        assert repr(doc) == "<kovan.Document '<bytes>': 12 points, 2 cells, 2 steps>"
    assert "open" not in kovan.__all__


def test_a_document_dropped_without_close_is_closed_at_once():
    import weakref
    doc = kovan.open(DATA / "hex8_static.frd")
    doc.step(0)
    handle = weakref.ref(doc._handle)
    gc.disable()  # only reference counting may free it
    try:
        del doc
        assert handle() is None
    finally:
        gc.enable()


def test_vtu_series_reads_back_with_vtks_reader(tmp_path):
    vtk = pytest.importorskip("vtk")
    from vtk.util import numpy_support

    pvd = kovan.export_vtu(SAMPLE, tmp_path, jobs=2)
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


def test_preview_without_a_display_says_how_to_run_it(tmp_path, monkeypatch, capsys):
    pytest.importorskip("vtk")
    from kovan.__main__ import main
    monkeypatch.delenv("DISPLAY", raising=False)
    monkeypatch.setattr("sys.platform", "linux")
    assert main(["preview", str(SAMPLE), "--array", "DISP", "-o", str(tmp_path / "p.png")]) == 1
    message = capsys.readouterr().err
    assert "xvfb-run" in message and len(message.strip().splitlines()) == 1


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
    rgb = pixels.reshape(len(pixels), -1)[:, :3].astype(int)
    assert len(np.unique(rgb, axis=0)) > 20  # a picture, not a blank
    from kovan.preview import _blue_to_red
    table = _blue_to_red((0.0, 1.0))
    low, high = [0.0] * 3, [0.0] * 3
    table.GetColor(0.0, low)
    table.GetColor(1.0, high)
    assert low == pytest.approx([0.0, 0.0, 1.0], abs=0.01) and high == pytest.approx([1.0, 0.0, 0.0], abs=0.01)


@pytest.mark.skipif(not os.environ.get("KOVAN_TOOL"), reason="compares with the kovan tool, KOVAN_TOOL")
@pytest.mark.parametrize("name", ["two_materials.frd", "cyclic_modal.frd", "contact.frd", "beam_frequency.frd"])
def test_what_the_file_says_reads_as_the_tool_reads_it(name):
    tool = subprocess.run([os.environ["KOVAN_TOOL"], "info", "--json", str(DATA / name)], capture_output=True, check=True)
    native = json.loads(tool.stdout)
    with kovan.open(DATA / name, wedge_order=0) as doc:
        assert doc.materials == {m["number"]: m["name"] for m in native["materials"]}
        assert doc.header == [(h["key"], h["value"]) for h in native["header"]]
        for index, expected in enumerate(native["steps"]):
            step = doc.step(index)
            assert step.info == dict({key: expected[key] for key in step.info if key != "value"}, value=step.time)
            for array in expected["arrays"]:
                assert list(step[array["name"]].component_names) == array["component_names"]
                assert step[array["name"]].points_with_values == array["points_with_values"]


def test_nodes_without_a_value_read_nan_on_request():
    """two_materials.frd holds results for the node set OUTER only."""
    with kovan.open(DATA / "two_materials.frd") as zeros, \
            kovan.open(DATA / "two_materials.frd", missing_as_nan=True) as nans:
        disp, missing = zeros.step(0)["DISP"], np.isnan(nans.step(0)["DISP"]).all(axis=1)
        assert missing.sum() == len(disp) - disp.points_with_values > 0
        assert np.all(disp[missing] == 0.0) and np.array_equal(disp[~missing], nans.step(0)["DISP"][~missing])
        assert np.isnan(nans.step(0)["STRESS_Mises"][missing]).all()
    with kovan.open(DATA / "cyclic_modal.frd", file_order=True) as doc:
        assert [doc.step_info(i)["file_index"] for i in range(len(doc.steps))] == list(range(len(doc.steps)))


class _CountingReader(io.BytesIO):
    """A file object that counts what is read through it."""

    def __init__(self, data):
        super().__init__(data)
        self.reads = []

    def readinto(self, buffer):
        got = super().readinto(buffer)
        self.reads.append(got)
        return got


def test_a_file_object_reads_as_its_path_reading_only_windows_of_it():
    points = np.random.default_rng(3).random((30000, 3))
    with kovan.Writer("ascii-long") as writer:
        writer.set_nodes(points)
        writer.set_cells(np.array([], np.uint8), np.array([0]), np.array([], np.int64))
        for step in range(1, 6):
            writer.begin_step(step, float(step))
            writer.add_array("DISP", points * step)
        data = writer.finish()
    reader = _CountingReader(data)
    with kovan.open(reader) as doc, kovan.open_bytes(data) as whole:
        assert len(doc.steps) == len(whole.steps) == 5
        for index in range(5):
            assert np.array_equal(doc.step(index)["DISP"].view(np.uint64), whole.step(index)["DISP"].view(np.uint64))
    assert 0 < max(reader.reads) < len(data)  # read a window at a time, never whole
    with open(DATA / "cyclic_modal.frd", "rb") as file, kovan.open(file, file_order=True) as doc:
        assert doc.step_info(0)["nodal_diameter"] == 0 and len(doc.step(0)["DISP"]) == doc.n_points
    with pytest.raises(kovan.KovanIOError):
        kovan.open(io.StringIO("    1C\n"))  # text, not bytes: the read fails


def test_fsspec_files_are_sources():
    fsspec = pytest.importorskip("fsspec")
    data = (DATA / "hex8_static.frd").read_bytes()
    with fsspec.open("memory://run.frd", "wb") as out:
        out.write(data)
    with fsspec.open("memory://run.frd", "rb") as file, kovan.open(file) as doc, kovan.open_bytes(data) as whole:
        assert np.array_equal(doc.points, whole.points)
        assert np.array_equal(doc.step(-1)["STRESS_Mises"], whole.step(-1)["STRESS_Mises"])
