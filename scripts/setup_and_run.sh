#!/bin/bash
# On a fresh Debian machine: installs the dependencies, builds kovan and runs
# `kovan info` on the sample file (or on the FRD file given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
./build/tools/cli/kovan info "${1:-examples/data/cantilever.frd}"
