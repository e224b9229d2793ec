#!/bin/bash
# Cross-builds kovan.dll, kovan.exe and the test suite for Windows x86-64 in
# build-windows/, runs the tests under Wine, headless, in a Wine prefix of
# their own under the build folder, and compares kovan.exe with the Linux
# tool of the Linux build folder given (default build/).
# Usage: scripts/test_windows.sh [LINUX_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-windows -j"$(nproc)"
export WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all
wineboot -i > /dev/null 2>&1
ctest --test-dir build-windows --output-on-failure

# kovan.exe prints what the Linux tool prints, line ends aside, for every
# file of tests/data, and exits with the same codes.
linux_tool="${1:-build}/tools/cli/kovan"
if [ ! -x "$linux_tool" ]; then
    echo "the Linux tool $linux_tool is missing: build it first (bash scripts/test.sh)"
    exit 1
fi
differences=0
# The last file by its absolute path: one that begins with '/', as on a Unix
# machine, which Wine maps to its Z: drive.
for file in tests/data/*.frd "$PWD/tests/data/hex8_static.frd"; do
    for command in "info" "info --json" "check"; do
        expected="$("$linux_tool" $command "$file" 2>&1; echo "exit $?")"
        got="$(wine build-windows/bin/kovan.exe $command "$file" 2>&1 | tr -d '\r'; echo "exit ${PIPESTATUS[0]}")"
        if [ "$got" != "$expected" ]; then
            echo "kovan.exe $command $file differs from the Linux tool:"
            diff <(echo "$expected") <(echo "$got") | head -20
            differences=1
        fi
    done
done
[ "$differences" -eq 0 ] || exit 1
echo "kovan.exe: the same output as the Linux tool for every file of tests/data"

# The bundle for users, zipped.
bash scripts/windows_bundle.sh
