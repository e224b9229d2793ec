#!/bin/bash
# Builds the library for WebAssembly with Debian's emscripten (into
# ../build-wasm) and puts its module where the bundler takes it from.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten runs its JavaScript compiler on the machine's node,
# which finds the compiler's modules among Debian's.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S .. -B ../build-wasm -DCMAKE_BUILD_TYPE=Release -DKOVAN_BUILD_TESTS=OFF \
    -DKOVAN_BUILD_TOOLS=OFF -DKOVAN_BUILD_EXAMPLES=OFF -DKOVAN_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build ../build-wasm -j"$(nproc)" --target kovan_wasm
mkdir -p build
cp ../build-wasm/kovan_wasm.mjs build/kovan_wasm.mjs
