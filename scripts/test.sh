#!/bin/bash
# Configures, builds and runs the test suite in build/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
