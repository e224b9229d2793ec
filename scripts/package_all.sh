#!/bin/bash
# Every package kovan ships, into dist/: the Debian packages (libkovan3,
# libkovan-dev, kovan-tools; CPack, from build-deb/), the Linux wheel
# (manylinux), the Windows wheel (win_amd64, from build-windows/'s kovan.dll,
# made by scripts/test_windows.sh; left out when it is not there), the NuGet
# package (with that DLL and the Linux library; needs Mono and nuget) and the
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

# The NuGet package: the binding built by Mono's mcs, the Linux library of
# build-deb/ and the Windows DLL, beside a copy of the package's manifest
# (under the file name nuget pack takes a manifest by).
if [ -n "$dll" ] && command -v nuget > /dev/null; then
    stage="$root/build-nuget"
    rm -rf "$stage"
    mkdir -p "$stage/linux-x64" "$stage/win-x64"
    manifest=Kovan.nuspec
    cp bindings/csharp/Kovan.package.xml "$stage/$manifest"
    cp bindings/csharp/README.md "$stage/"
    mcs -langversion:7.2 -unsafe -nowarn:1591 -target:library -doc:"$stage/Kovan.xml" -out:"$stage/Kovan.dll" \
        bindings/csharp/src/*.cs > /dev/null
    cp -L build-deb/libkovan.so.3 "$stage/linux-x64/libkovan.so"
    cp "$root/$dll" "$stage/win-x64/kovan.dll"
    (cd "$stage" && nuget pack "$manifest" -OutputDirectory "$dist" -NoPackageAnalysis -NonInteractive > /dev/null)
fi

if [ -f web/dist/kovan.mjs ]; then
    (cd web && npm pack --silent --pack-destination "$dist" > /dev/null)
fi
ls -1 "$dist"
