#!/bin/bash
# Configures, builds and runs the test suite in build/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
shift || true
# The ParaView plugin and its tests too, where ParaView's development files
# are installed; not with sanitizers, whose libraries ParaView cannot load.
if [[ " $* " != *KOVAN_SANITIZE=* ]] && compgen -G "/usr/lib/*/cmake/paraview-*/paraview-config.cmake" > /dev/null; then
    set -- -DKOVAN_BUILD_PARAVIEW=ON "$@"
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
