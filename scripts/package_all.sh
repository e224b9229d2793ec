#!/bin/bash
# Every package kovan ships, into dist/: the Debian packages (libkovan3,
# libkovan-dev, kovan-tools; CPack, from build-deb/), the Linux wheel
# (manylinux), the Windows wheel (win_amd64, from build-windows/'s kovan.dll,
# made by scripts/test_windows.sh; left out when it is not there) and the
# npm package (after `npm run build` in web/). One version, CMakeLists.txt's.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"

cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKOVAN_BUILD_TESTS=OFF -DKOVAN_BUILD_BENCHMARKS=OFF -DKOVAN_BUILD_EXAMPLES=OFF > /dev/null
cmake --build build-deb -j"$(nproc)" > /dev/null
rm -rf build-deb/packages
(cd build-deb && cpack -G DEB > /dev/null)
cp build-deb/packages/*.deb "$dist/"

mkdir -p build-python
rm -rf build-python/lib* build-python/bdist*
/usr/bin/python3 -m build --wheel --no-isolation --outdir "$dist" . > build-python/package.log 2>&1 \
    || { tail -30 build-python/package.log; exit 1; }
dll="$(ls build-windows/bin/kovan.dll build-windows/kovan.dll 2>/dev/null | head -1 || true)"
if [ -n "$dll" ]; then
    rm -rf build-python/lib* build-python/bdist*
    KOVAN_WHEEL_DLL="$root/$dll" /usr/bin/python3 -m build --wheel --no-isolation --outdir "$dist" . \
        > build-python/package.log 2>&1 || { tail -30 build-python/package.log; exit 1; }
    rm -rf build-python/lib* build-python/bdist*  # the next Linux wheel must not take the DLL
fi

if [ -f web/dist/kovan.mjs ]; then
    (cd web && npm pack --silent --pack-destination "$dist" > /dev/null)
fi
ls -1 "$dist"
