"""Prints the ratio table of bench/run.sh from the benchmark JSON of each size."""

import json
import sys
from pathlib import Path


def load(folder):
    data = json.loads((Path(folder) / "results.json").read_text())
    return {b["name"]: b for b in data["benchmarks"]}


ROWS = [
    # label, benchmark, floor benchmark, target ratio
    ("ASCII open (mesh and step index)", "BM_Open/ascii_long", "BM_FloorAscii/ascii_long", 0.3),
    ("ASCII open + decode, no derived", "BM_OpenDecode/ascii_long_no_derived", "BM_FloorAscii/ascii_long", 1.6),
    ("ASCII open + decode, derived", "BM_OpenDecode/ascii_long_derived", "BM_FloorAscii/ascii_long", 2.2),
    ("binary open + decode, no derived", "BM_OpenDecode/binary_ccx_no_derived", "BM_FloorBinary/binary_ccx", 4.0),
    ("rewrite ASCII -> binary float", "BM_Rewrite/ascii_long_to_binary_float", "BM_FloorAscii/ascii_long", None),
    ("rewrite binary -> ASCII long", "BM_Rewrite/binary_ccx_to_ascii_long", "BM_FloorBinary/binary_ccx", None),
    ("writer finish, ASCII long", "BM_WriterFinish/ascii_long", None, None),
    ("writer finish, binary float", "BM_WriterFinish/binary_float", None, None),
    ("fields by snprintf vs to_chars", "BM_FloorFormat/snprintf", "BM_FloorFormat/to_chars", None),
]


def main(folders):
    results = [(Path(f).name, load(f)) for f in folders]
    head = f"{'measure':38}" + "".join(f"{size + ' MB: ms':>14}{'MB/s':>8}{'ratio':>7}" for size, _ in results)
    print(head + f"{'target':>8}")
    for label, name, floor, target in ROWS:
        line = f"{label:38}"
        for _, r in results:
            b = r.get(name)
            if b is None:
                line += f"{'-':>14}{'-':>8}{'-':>7}"
                continue
            ms = b["real_time"] if b["time_unit"] == "ms" else b["real_time"] / 1e6
            rate = b.get("bytes_per_second", 0) / 1e6
            ratio = f"{b['real_time'] / r[floor]['real_time']:.2f}" if floor and floor in r else "-"
            line += f"{ms:14.1f}{rate:8.0f}{ratio:>7}"
        print(line + (f"{'<= ' + str(target):>8}" if target else ""))
    for size, r in results:
        derived = r.get("BM_Derived", {}).get("ns/point")  # seconds per point, as the inverted rate
        derived = derived * 1e9 if derived is not None else None
        rss = max(b.get("peak_rss_MB", 0) for b in r.values())
        if derived:
            print(f"{size} MB: derived arrays {derived:.0f} ns per tensor point (target <= 100); peak RSS {rss:.0f} MB")


if __name__ == "__main__":
    main(sys.argv[1:])
