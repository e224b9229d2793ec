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
cmake --build "$build" -j"$(nproc)" --target frd_generate kovan_benchmarks kovan_peak_memory > /dev/null
for size in "${sizes[@]}"; do
    data="$build/bench-data/$size"
    mkdir -p "$data"
    for encoding in ascii-long binary-ccx; do
        [ -f "$data/$encoding.frd" ] || "$build/bench/frd_generate" "$size" "$encoding" "$data/$encoding.frd"
    done
    repetitions=1
    [ "$size" -lt 500 ] && repetitions=3
    KOVAN_BENCH_DIR="$data" "$build/bench/kovan_benchmarks" --benchmark_format=json \
        --benchmark_repetitions="$repetitions" --benchmark_out="$data/results.json" \
        --benchmark_out_format=json > /dev/null
    # Peak memory, one process per file so that each peak is its own.
    for encoding in ascii-long binary-ccx; do
        echo "$encoding $("$build/bench/kovan_peak_memory" "$data/$encoding.frd")"
    done > "$data/memory.txt"
    rm -f "$data"/*.frd
done
python3 bench/report.py "${sizes[@]/#/$build/bench-data/}"
