"""Prints the ratio table of bench/run.sh from the benchmark JSON of each size."""

import json
import sys
from pathlib import Path


def load_group(path):
    runs = {}
    for b in json.loads(path.read_text())["benchmarks"]:
        name = b["run_name"] if "run_name" in b else b["name"]
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                runs[name] = b  # the median of repetitions wins over any single run
        elif name not in runs:
            runs[name] = b
    return runs


def load(folder):
    """One dictionary per process run (group), so that ratios stay within one run."""
    return [load_group(path) for path in sorted(Path(folder).glob("results-*.json"))]


def find(groups, name, floors=()):
    """The group that measured `name` and all its floors; else any that measured `name`."""
    for g in groups:
        if name in g and all(f in g for f in floors):
            return g
    return next((g for g in groups if name in g), {})


def memory(folder):
    """Per encoding: the viewer's peak, the bound (MB), their ratio, and the
    peaks of kovan info and of the XDMF export (kB)."""
    path = Path(folder) / "memory.txt"
    if not path.exists():
        return {}
    rows = [line.split() for line in path.read_text().splitlines() if line.strip()]
    found = {r[0]: tuple(float(v) for v in r[1:6]) for r in rows if len(r) == 6}
    found.update({r[0]: float(r[1]) for r in rows if len(r) == 2 and r[0] == "python"})
    return found


def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


# label, benchmark, floor benchmarks (their times add), target ratio ("<= x" or ">= x")
ROWS = [
    ("ASCII open, text in memory", "BM_Parse/ascii_long", ["BM_FloorAscii/ascii_long"], "<= 0.3"),
    ("ASCII kovan_open_memory (copy incl.)", "BM_Open/ascii_long", ["BM_FloorAscii/ascii_long"], None),
    ("  its copy of the bytes alone", "BM_FloorCopy/ascii_long", ["BM_FloorAscii/ascii_long"], None),
    ("ASCII open + decode, no derived", "BM_OpenDecode/ascii_long_no_derived", ["BM_FloorAscii/ascii_long"], "<= 1.6"),
    ("ASCII open + decode, derived", "BM_OpenDecode/ascii_long_derived", ["BM_FloorAscii/ascii_long"], "<= 2.2"),
    ("C interface: open + every step, derived", "BM_CApiOpenDecode/ascii_long/1/real_time",
     ["BM_FloorAscii/ascii_long"], "<= 1.0"),
    ("  the same, steps on two threads", "BM_CApiOpenDecode/ascii_long/2/real_time",
     ["BM_FloorAscii/ascii_long"], "<= 0.7"),
    ("ASCII decoding alone, one thread", "BM_DecodeSteps/ascii_long/1/real_time",
     ["BM_FloorMemchr/ascii_long"], ">=1500MB/s"),
    ("  on two threads (ratio: 1 over 2)", "BM_DecodeSteps/ascii_long/1/real_time",
     ["BM_DecodeSteps/ascii_long/2/real_time"], ">= 1.7"),
    ("  memchr line scan, the machine", "BM_FloorMemchr/ascii_long", [], None),
    ("binary open + decode, no derived", "BM_OpenDecode/binary_ccx_no_derived", ["BM_FloorBinary/binary_ccx"], "<= 4"),
    ("ASCII kovan_open of a path", "BM_OpenPath/ascii_long", ["BM_FloorAscii/ascii_long"], "<= 0.5"),
    ("binary kovan_open of a path", "BM_OpenPath/binary_ccx", ["BM_FloorCopy/binary_ccx"], "<= 2"),
    ("ASCII path, every step shown, let go", "BM_StepThrough/ascii_long", ["BM_FloorAscii/ascii_long"], "<= 1.2"),
    ("binary path, every step shown, let go", "BM_StepThrough/binary_ccx", ["BM_FloorBinary/binary_ccx"], None),
    ("ASCII reopen after 1 % growth", "BM_Reopen/ascii_long", ["BM_OpenPath/ascii_long"], "<= 0.05"),
    ("binary reopen after 1 % growth", "BM_Reopen/binary_ccx", ["BM_OpenPath/binary_ccx"], "<= 0.05"),
    ("rewrite ASCII -> binary float", "BM_Rewrite/ascii_long_to_binary_float",
     ["BM_FloorAscii/ascii_long", "BM_FloorWriteBinary/ascii_long"], "<= 2"),
    ("rewrite binary -> ASCII long", "BM_Rewrite/binary_ccx_to_ascii_long",
     ["BM_FloorBinary/binary_ccx", "BM_FloorWriteAscii/binary_ccx"], "<= 2"),
    ("writer finish, ASCII long", "BM_WriterFinish/ascii_long", [], None),
    ("writer finish, binary float", "BM_WriterFinish/binary_float", [], None),
    ("two documents on two threads", "BM_OpenDecodeThreads/ascii_long/2/real_time",
     ["BM_OpenDecodeThreads/ascii_long/1/real_time"], "<= 1.2"),
    ("  the ASCII floor on two threads", "BM_FloorAsciiThreads/ascii_long/2/real_time",
     ["BM_FloorAsciiThreads/ascii_long/1/real_time"], None),
    ("fields: snprintf over kovan's", "BM_FloorFormat/snprintf", ["BM_FloorFormat/library"], ">= 3"),
    ("  snprintf over std::to_chars", "BM_FloorFormat/snprintf", ["BM_FloorFormat/to_chars"], None),
]


def main(folders):
    results = [(Path(f).name, load(f), memory(f)) for f in folders]
    head = f"{'measure':38}" + "".join(f"{size + ' MB: ms':>14}{'MB/s':>8}{'ratio':>7}" for size, _, _ in results)
    print(head + f"{'target':>9}" + ("  1 GB/100 MB" if len(results) == 2 else ""))
    for label, name, floors, target in ROWS:
        line = f"{label:38}"
        ratios = []
        for _, groups, _ in results:
            r = find(groups, name, floors)
            b = r.get(name)
            if b is None:
                line += f"{'-':>14}{'-':>8}{'-':>7}"
                ratios.append(None)
                continue
            rate = b.get("bytes_per_second", 0) / 1e6
            ratio = ms(b) / sum(ms(r[f]) for f in floors) if floors and all(f in r for f in floors) else None
            ratios.append(ratio)
            line += f"{ms(b):14.1f}{rate:8.0f}" + (f"{ratio:7.2f}" if ratio is not None else f"{'-':>7}")
        line += f"{target or '':>9}"
        if len(ratios) == 2 and None not in ratios:
            line += f"{ratios[1] / ratios[0]:12.2f}"
        print(line)
    for size, groups, mem in results:
        derived = find(groups, "BM_Derived").get("BM_Derived", {}).get("ns/point")  # seconds per point, as the inverted rate
        if derived is not None:
            print(f"{size} MB: derived arrays {derived * 1e9:.0f} ns per tensor point (target <= 100)")
        python_kb = mem.pop("python", 0.0)
        for encoding, (peak, bound, ratio, info_kb, xdmf_kb) in sorted(mem.items()):
            print(f"{size} MB: {encoding} peak resident: every step shown and let go {peak:.0f} MB, "
                  f"kovan info {info_kb / 1000:.0f} MB, XDMF export {(xdmf_kb - python_kb) / 1000:.0f} MB "
                  f"beyond the interpreter's {python_kb / 1000:.0f} MB; mesh + two largest steps + 64 MB = "
                  f"{bound:.0f} MB (target: each at most that)")


if __name__ == "__main__":
    main(sys.argv[1:])
