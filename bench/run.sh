#!/bin/bash
# Runs the benchmarks at 100 MB and at 1 GB of generated FRD (written into
# BUILD/bench-data) and prints one table of ratios to the floors.
# Usage: bench/run.sh [BUILD] [SIZES_MB...]   (defaults: build, 100 1000)
# Sizes below 500 MB are measured three times (the table shows the median).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
sizes=("$@")
[ "${#sizes[@]}" -eq 0 ] && sizes=(100 1000)
cmake --build "$build" -j"$(nproc)" --target frd_generate kovan_benchmarks kovan_peak_memory kovan_cli kovan > /dev/null
for size in "${sizes[@]}"; do
    data="$build/bench-data/$size"
    mkdir -p "$data"
    for encoding in ascii-long binary-ccx; do
        [ -f "$data/$encoding.frd" ] || "$build/bench/frd_generate" "$size" "$encoding" "$data/$encoding.frd"
    done
    repetitions=1
    [ "$size" -lt 500 ] && repetitions=3
    # One process per group: each operation beside its floors, in a process
    # of its own as a program opening a file has, so that memory one group
    # freed does not change what the next one pays for fresh memory.
    rm -f "$data"/results-*.json
    group=0
    for filter in '^BM_(Open|FloorCopy|Parse|OpenDecode|OpenDecodeThreads|FloorAsciiThreads|FloorAscii)/ascii_long' \
                  '^BM_(OpenPath|StepThrough|Reopen|FloorAscii)/ascii_long' \
                  '^BM_(OpenPath|StepThrough|Reopen|FloorBinary|FloorCopy)/binary_ccx' \
                  '^BM_(Open|Parse|OpenDecode|FloorBinary)/binary_ccx' \
                  '^BM_(Rewrite/ascii|FloorAscii/|FloorWriteBinary)' '^BM_(Rewrite/binary|FloorBinary/|FloorWriteAscii)' \
                  '^BM_WriterFinish' '^BM_(Derived|FloorFormat)' \
                  '^BM_(CApiOpenDecode|DecodeSteps|FloorAscii|FloorMemchr)/ascii_long'; do
        group=$((group + 1))
        KOVAN_BENCH_DIR="$data" "$build/bench/kovan_benchmarks" --benchmark_filter="$filter" \
            --benchmark_repetitions="$repetitions" --benchmark_out="$data/results-$group.json" \
            --benchmark_out_format=json > /dev/null
    done
    # Peak memory, one process per file so that each peak is its own: a
    # viewer's stepping through every step, the tool's info, the Python
    # package's XDMF export (kilobytes from GNU time).
    for encoding in ascii-long binary-ccx; do
        file="$data/$encoding.frd"
        info_kb=$(/usr/bin/time -f %M "$build/tools/cli/kovan" info "$file" 2>&1 > /dev/null | tail -1)
        xdmf_kb=$(KOVAN_LIBRARY="$build/libkovan.so" PYTHONPATH=python /usr/bin/time -f %M \
                  /usr/bin/python3 -m kovan xdmf "$file" "$data/series.xdmf" 2>&1 > /dev/null | tail -1)
        rm -f "$data/series.xdmf" "$data/series.h5"
        echo "$encoding $("$build/bench/kovan_peak_memory" "$file") $info_kb $xdmf_kb"
    done > "$data/memory.txt"
    # What the interpreter takes with the modules the export imports, before any file.
    KOVAN_LIBRARY="$build/libkovan.so" PYTHONPATH=python /usr/bin/time -f "python %M" /usr/bin/python3 -c \
        "import kovan.xdmf, kovan.meshio, meshio.xdmf, h5py" 2>> "$data/memory.txt"
    rm -f "$data"/*.frd
done
python3 bench/report.py "${sizes[@]/#/$build/bench-data/}"
