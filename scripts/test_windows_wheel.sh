#!/bin/bash
# The Windows wheel of dist/ (py3-none-win_amd64, made by
# scripts/package_all.sh from build-windows/'s kovan.dll): its tag and
# contents. How it loads the DLL is tested on Linux with Windows' functions
# stood in for (python/tests/test_packaging.py); Debian has no Windows
# Python to import it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
dll="$(ls build-windows/bin/kovan.dll build-windows/kovan.dll 2>/dev/null | head -1 || true)"
[ -n "$dll" ] || { echo "no kovan.dll in build-windows/: run scripts/test_windows.sh first"; exit 1; }
wheel="$(ls dist/kovan-*-py3-none-win_amd64.whl)"
contents="$(unzip -Z1 "$wheel")"
grep -qx 'kovan/kovan.dll' <<< "$contents" || { echo "$wheel lacks kovan/kovan.dll"; exit 1; }
if grep -q 'libkovan' <<< "$contents"; then echo "$wheel holds a Linux library"; exit 1; fi
unzip -p "$wheel" 'kovan-*.dist-info/WHEEL' | grep -qx 'Tag: py3-none-win_amd64' || { echo "$wheel is not tagged win_amd64"; exit 1; }
cmp <(unzip -p "$wheel" kovan/kovan.dll) "$dll" || { echo "the wheel's kovan.dll is not the one built"; exit 1; }
echo "Windows wheel: $(basename "$wheel")"
