"""The xarray engine against kovan itself, on a generated file FILE:
opening, reading one variable whole, the peak memory of a chunked
reduction, and an ensemble of eight copies on a dask.distributed
LocalCluster with one worker and with two.

    KOVAN_LIBRARY=build/libkovan.so PYTHONPATH=python python3 bench/xarray_bench.py FILE [SCRATCH [ENSEMBLE_FILE]]

(the ensemble is of eight copies of ENSEMBLE_FILE, by default FILE, in SCRATCH)

Times are the median of three runs; every ratio is of two numbers measured
in this one run."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
import xarray as xr

import kovan
from kovan import xarray_backend
from kovan.xarray_backend import KovanBackendEntrypoint as ENGINE

PEAK = """
import resource, sys, xarray as xr
from kovan.xarray_backend import KovanBackendEntrypoint as ENGINE
ds = xr.open_dataset(sys.argv[1], engine=ENGINE, chunks={"step": 1})
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
ds["STRESS_Mises"].max().compute()
print(before, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)
"""


def median_seconds(work, runs=3):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def opening(path):
    def with_kovan():
        kovan.open(path).close()

    def with_xarray():
        xarray_backend._documents.clear()  # opened anew, not found among the open documents
        xr.open_dataset(path, engine=ENGINE, cache=False).close()
    return median_seconds(with_kovan), median_seconds(with_xarray)


def one_variable(path, name="DISP"):
    def with_kovan():
        with kovan.open(path) as doc:
            for step in range(len(doc.steps)):
                np.array(doc.step(step)[name])
                doc.release(step)

    def with_xarray():
        xarray_backend._documents.clear()
        xr.open_dataset(path, engine=ENGINE, cache=False)[name].values
    return median_seconds(with_kovan), median_seconds(with_xarray)


def peak_memory(path):
    out = subprocess.run([sys.executable, "-c", PEAK, path], capture_output=True, text=True, check=True)
    before, after = (int(v) / 1024 for v in out.stdout.split())
    with kovan.open(path) as doc:
        mesh = (doc.points.nbytes + doc.connectivity.nbytes + doc.offsets.nbytes) / 2**20
        steps = sorted(sum(a.nbytes for a in doc.step(i).values()) for i in range(len(doc.steps)))
        for i in range(len(doc.steps)):
            doc.release(i)
    return before, after, mesh, sum(steps[-2:]) / 2**20


def _pool_decode(job):
    path, step = job
    document = _POOL_DOCUMENTS.get(path) or _POOL_DOCUMENTS.setdefault(path, kovan.open(path))
    return float(document._copy_array(step, "STRESS_Mises").max())


_POOL_DOCUMENTS = {}


def ensemble(path, scratch, runs=8):
    """Opening and reducing `runs` copies on one worker and on two (files
    opened once in each worker first), beside the same decoding on a plain
    process pool of one and of two: what the machine's two cores give."""
    import distributed
    from multiprocessing import Pool
    paths = []
    for run in range(runs):
        paths.append(os.path.join(scratch, f"run{run}.frd"))
        shutil.copyfile(path, paths[-1])
    seconds = {}
    for workers in (1, 2):
        with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                      dashboard_address=None) as cluster, distributed.Client(cluster):
            # The runs of a study share one mesh: its coordinates are taken
            # from the first run, not compared (each comparison is a round
            # trip to the cluster per run and coordinate).
            def opened():
                return xr.open_mfdataset(paths, engine=ENGINE, combine="nested", concat_dim="run", parallel=True,
                                         chunks={"step": 1}, coords="minimal", compat="override")
            opened()["STRESS_Mises"].max(dim="point").compute()  # the workers import kovan and open the files
            seconds[workers, "open"] = median_seconds(opened)
            ds = opened()
            seconds[workers, "reduce"] = median_seconds(lambda: ds["STRESS_Mises"].max(dim="point").compute())
        with Pool(workers) as pool:
            jobs = [(p, step) for p in paths for step in range(len(xr.open_dataset(path, engine=ENGINE).step))]
            pool.map(_pool_decode, jobs)
            seconds[workers, "pool"] = median_seconds(lambda: pool.map(_pool_decode, jobs, chunksize=1))
    return seconds


def main():
    path = sys.argv[1]
    scratch = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
    size = os.path.getsize(path) / 1e6
    plain, engine = opening(path)
    print(f"{size:.0f} MB: open {engine * 1e3:.1f} ms with xarray, {plain * 1e3:.1f} ms with kovan: "
          f"ratio {engine / plain:.2f} (target <= 1.1)")
    plain, engine = one_variable(path)
    print(f"{size:.0f} MB: DISP of every step {engine * 1e3:.0f} ms with xarray, {plain * 1e3:.0f} ms with kovan: "
          f"ratio {engine / plain:.2f} (target <= 1.2)")
    before, after, mesh, steps = peak_memory(path)
    print(f"{size:.0f} MB: STRESS_Mises max, chunks of one step: peak {after:.0f} MB ({before:.0f} MB once opened); "
          f"mesh + two steps + 100 MB = {mesh + steps + 100:.0f} MB")
    ensemble_file = sys.argv[3] if len(sys.argv) > 3 else path
    size = os.path.getsize(ensemble_file) / 1e6
    s = ensemble(ensemble_file, scratch)
    total = [s[w, "open"] + s[w, "reduce"] for w in (1, 2)]
    print(f"{size:.0f} MB x 8: ensemble opened and reduced on one worker {total[0]:.2f} s, on two {total[1]:.2f} s: "
          f"speed-up {total[0] / total[1]:.2f} (target >= 1.6); open_mfdataset {s[1, 'open']:.2f} / {s[2, 'open']:.2f} s, "
          f"the reduction {s[1, 'reduce']:.2f} / {s[2, 'reduce']:.2f} s: speed-up {s[1, 'reduce'] / s[2, 'reduce']:.2f}; "
          f"the same decoding on a process pool {s[1, 'pool']:.2f} / {s[2, 'pool']:.2f} s: "
          f"speed-up {s[1, 'pool'] / s[2, 'pool']:.2f}")


if __name__ == "__main__":
    main()
