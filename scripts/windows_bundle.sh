#!/bin/bash
# Zips the Windows build's installation for users: bin/kovan.dll and
# bin/kovan.exe, include/kovan.h, lib/libkovan.dll.a for MinGW, and
# lib/kovan.def with lib/kovan.lib for MSVC.
# Usage: scripts/windows_bundle.sh [WINDOWS_BUILD]   (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build-windows}" && pwd)"
version="$(sed -n 's/^project(kovan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
name="kovan-$version-windows-x86_64"
stage="$build/bundle"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage/$name" --strip > /dev/null
for file in bin/kovan.dll bin/kovan.exe include/kovan.h lib/libkovan.dll.a lib/kovan.def lib/kovan.lib; do
    [ -f "$stage/$name/$file" ] || { echo "the bundle lacks $file"; exit 1; }
done
(cd "$stage" && cmake -E tar cf "$build/$name.zip" --format=zip "$name")
echo "$build/$name.zip"
