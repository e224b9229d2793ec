#!/bin/bash
# The reader beside the C interface on a generated ASCII file of SIZE_MB
# (default 1000). Usage: paraview/bench/run.sh [BUILD] [SIZE_MB]
# BUILD must be configured with -DKOVAN_BUILD_PARAVIEW=ON.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
size="${2:-1000}"
cmake --build "$build" -j"$(nproc)" --target frd_generate kovan_paraview_benchmark > /dev/null
mkdir -p "$build/bench-data"
data="$build/bench-data/paraview-$size.frd"
"$build/bench/frd_generate" "$size" ascii-long "$data"
"$build/paraview/bench/kovan_paraview_benchmark" "$data" 3
rm -f "$data"
