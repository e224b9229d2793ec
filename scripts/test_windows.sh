#!/bin/bash
# Cross-builds kovan.dll and the test suite for Windows x86-64 in
# build-windows/ and runs the tests under Wine, headless, in a Wine prefix of
# their own under the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DKOVAN_BUILD_TOOLS=OFF
cmake --build build-windows -j"$(nproc)"
export WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all
wineboot -i > /dev/null 2>&1
ctest --test-dir build-windows --output-on-failure
