"""Seconds for kovan_open of a file plus decoding its last step, natively
(through ctypes; a call costs microseconds). Prints the median of RUNS.
Usage: python3 native_open_last_step.py LIBKOVAN FILE [RUNS]"""
import ctypes
import statistics
import sys
import time

lib = ctypes.CDLL(sys.argv[1])
path = sys.argv[2].encode()
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
lib.kovan_open.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
lib.kovan_n_steps.argtypes = [ctypes.c_void_p]
lib.kovan_n_steps.restype = ctypes.c_uint64
lib.kovan_n_arrays.argtypes = [ctypes.c_void_p, ctypes.c_uint64, ctypes.POINTER(ctypes.c_uint64)]
lib.kovan_close.argtypes = [ctypes.c_void_p]

times = []
for _ in range(runs):
    doc = ctypes.c_void_p()
    count = ctypes.c_uint64()
    start = time.perf_counter()
    if lib.kovan_open(path, ctypes.byref(doc)) != 0:
        sys.exit("kovan_open failed")
    steps = lib.kovan_n_steps(doc)
    if steps > 0 and lib.kovan_n_arrays(doc, steps - 1, ctypes.byref(count)) != 0:
        sys.exit("the last step did not decode")
    times.append(time.perf_counter() - start)
    lib.kovan_close(doc)
print(statistics.median(times))
