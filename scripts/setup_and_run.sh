#!/bin/bash
# On a fresh Debian machine: installs the dependencies, builds kovan and runs
# the example program on the sample file (or on the FRD file given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
./build/examples/frd_summary "${1:-tests/data/beam_frequency.frd}"
