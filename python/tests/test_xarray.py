"""xarray's engine "kovan" against kovan's own reading: lazily, in dask
chunks of one step, through zarr, and on a dask.distributed LocalCluster."""

from pathlib import Path

import numpy as np
import pytest

import kovan

xr = pytest.importorskip("xarray")
from kovan import xarray_backend  # noqa: E402 - needs xarray
from kovan._lib import lib  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
DATA = ROOT / "tests" / "data"
SAMPLE = ROOT / "examples" / "data" / "cantilever.frd"
ENGINE = xarray_backend.KovanBackendEntrypoint


def same_bits(a, b):
    a, b = np.ascontiguousarray(a, dtype=np.float64), np.ascontiguousarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.uint64), b.view(np.uint64))


@pytest.mark.parametrize("path", [DATA / "cyclic_modal.frd", DATA / "two_materials.frd", SAMPLE], ids=lambda p: p.name)
def test_a_dataset_reads_as_kovan_does_and_decodes_nothing_when_opened(path):
    xarray_backend._documents.clear()
    ds = xr.open_dataset(path, engine=ENGINE)
    opened, _ = next(iter(xarray_backend._documents.values()))
    assert lib.kovan_steps_parsed(opened._handle.pointer) == 0
    with kovan.open(path) as doc:
        assert same_bits(ds["time"], doc.steps) and np.array_equal(ds["node_id"], doc.node_ids)
        assert same_bits(np.stack([ds["x"], ds["y"], ds["z"]], axis=1), doc.points)
        mesh = {"cell_type": doc.cell_types, "cell_offsets": doc.offsets, "connectivity": doc.connectivity,
                "cell_id": doc.cell_ids, "cell_group": doc.cell_groups, "cell_material": doc.cell_materials}
        for name, values in mesh.items():
            assert np.array_equal(ds[name], values), name
        for step in range(len(doc.steps)):
            facts = doc.step_info(step)
            assert all(int(ds[c][step]) == facts[k] for c, k in [("mode", "mode"), ("set_number", "set_number")]
                       if c in ds.coords)
            for name, values in doc.step(step).items():
                assert same_bits(ds[name].isel(step=step).values, values), name
                if values.ndim == 2:
                    assert list(ds[f"{name}_component"].values) == list(values.component_names)
    assert "STRESS_Mises" not in xr.open_dataset(SAMPLE, engine=ENGINE, derived=False)


def test_dask_chunks_decode_a_step_each_and_zarr_reads_back_bit_for_bit(tmp_path):
    pytest.importorskip("dask")
    pytest.importorskip("zarr")
    ds = xr.open_dataset(SAMPLE, engine=ENGINE, chunks={"step": 1})
    assert ds["STRESS_Mises"].chunks[0] == (1,) * ds.sizes["step"]
    with kovan.open(SAMPLE) as doc:
        expected = [doc.step(i)["STRESS_Mises"].max() for i in range(len(doc.steps))]
    assert same_bits(ds["STRESS_Mises"].max(dim="point").compute(), expected)
    ds.to_zarr(tmp_path / "run.zarr")
    back = xr.open_zarr(tmp_path / "run.zarr")
    for name in ds.data_vars:
        assert same_bits(back[name], ds[name]) if ds[name].dtype.kind == "f" else np.array_equal(back[name], ds[name])


def scaled_runs(folder, n):
    """n runs of the sample's mesh with its results scaled by 1 .. n."""
    paths = []
    with kovan.open(SAMPLE) as doc:
        for run in range(1, n + 1):
            with kovan.Writer("binary-double") as writer:
                writer.set_nodes(doc.points, doc.node_ids)
                writer.set_cells(doc.cell_types, doc.offsets, doc.connectivity, doc.cell_ids)
                for index, time in enumerate(doc.steps):
                    writer.begin_step(index + 1, time)
                    for name in ("DISP", "STRESS"):
                        writer.add_array(name, np.asarray(doc.step(index)[name]) * run)
                paths.append(folder / f"run{run}.frd")
                paths[-1].write_bytes(writer.finish())
    return paths


def test_an_ensemble_on_a_local_cluster_gives_the_serial_maxima(tmp_path):
    distributed = pytest.importorskip("distributed")
    paths = scaled_runs(tmp_path, 8)
    expected = []
    for path in paths:
        with kovan.open(path) as doc:
            expected.append([doc.step(i)["STRESS_Mises"].max() for i in range(len(doc.steps))])
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            distributed.Client(cluster):
        ensemble = xr.open_mfdataset(paths, engine=ENGINE, combine="nested", concat_dim="run", parallel=True,
                                     chunks={"step": 1})
        maxima = ensemble["STRESS_Mises"].max(dim="point").compute()
    assert same_bits(maxima, expected)


def test_file_objects_open_and_the_engine_is_found_by_name_once_installed():
    fsspec = pytest.importorskip("fsspec")
    with fsspec.open(f"file://{SAMPLE}", "rb") as file:
        ds = xr.open_dataset(file, engine=ENGINE)
        with kovan.open(SAMPLE) as doc:
            assert same_bits(ds["DISP"].isel(step=-1).values, doc.step(-1)["DISP"])
    from importlib.metadata import entry_points
    if not [e for e in entry_points(group="xarray.backends") if e.name == "kovan"]:
        pytest.skip("kovan is not installed (read through PYTHONPATH): no entry point to find it by")
    assert "STRESS_Mises" in xr.open_dataset(SAMPLE, engine="kovan")
