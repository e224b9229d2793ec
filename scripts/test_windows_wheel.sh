#!/bin/bash
# The Windows wheel (py3-none-win_amd64) made from kovan.dll of
# build-windows/ (after scripts/test_windows.sh): its tag and contents. How it
# loads the DLL is tested on Linux with Windows' functions stood in for
# (python/tests/test_packaging.py); Debian has no Windows Python to import
# it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
dll="$(pwd)/build-windows/bin/kovan.dll"
[ -f "$dll" ] || dll="$(pwd)/build-windows/kovan.dll"
work="$(pwd)/build-python/windows"
rm -rf "$work" build-python/lib build-python/bdist*
mkdir -p "$work"
KOVAN_WHEEL_DLL="$dll" /usr/bin/python3 -m build --wheel --no-isolation --outdir "$work" . > "$work/build.log" 2>&1 \
    || { tail -30 "$work/build.log"; exit 1; }
wheel="$(ls "$work"/kovan-*-py3-none-win_amd64.whl)"
contents="$(unzip -Z1 "$wheel")"
grep -qx 'kovan/kovan.dll' <<< "$contents" || { echo "$wheel lacks kovan/kovan.dll"; exit 1; }
if grep -q 'libkovan' <<< "$contents"; then echo "$wheel holds a Linux library"; exit 1; fi
unzip -p "$wheel" 'kovan-*.dist-info/WHEEL' | grep -qx 'Tag: py3-none-win_amd64' || { echo "$wheel is not tagged win_amd64"; exit 1; }
cmp <(unzip -p "$wheel" kovan/kovan.dll) "$dll" || { echo "the wheel's kovan.dll is not the one built"; exit 1; }
rm -rf build-python/lib build-python/bdist*  # the next Linux wheel must not take the DLL
echo "Windows wheel: $(basename "$wheel")"
