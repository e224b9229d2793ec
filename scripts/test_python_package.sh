#!/bin/bash
# Builds the wheel as README says, installs it into a fresh virtual
# environment (Debian's numpy, VTK and meshio seen through the system's site
# packages, nothing from the network) and runs the Python tests against the
# installed package: no PYTHONPATH, no KOVAN_LIBRARY, no build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
work="$root/build-python/installed"
rm -rf "$work"
mkdir -p "$work"
python=/usr/bin/python3
"$python" -m build --wheel --no-isolation --outdir "$work/dist" . > "$work/build.log" 2>&1 \
    || { tail -30 "$work/build.log"; exit 1; }
# Tagged manylinux for the newest glibc version the library's symbols need,
# read here with readelf; it needs no other library (the C++ runtime is in it).
wheel="$(ls "$work"/dist/kovan-*.whl)"
unzip -q -o "$wheel" kovan/libkovan.so.3 -d "$work/unpacked"
newest="$(readelf -V "$work/unpacked/kovan/libkovan.so.3" | grep -o 'GLIBC_2\.[0-9]*' | sed 's/GLIBC_2\.//' | sort -n | tail -1)"
[[ "$wheel" == *"-py3-none-manylinux_2_${newest}_$(uname -m).whl" ]] || { echo "wheel $wheel is not manylinux_2_$newest"; exit 1; }
needed="$(readelf -d "$work/unpacked/kovan/libkovan.so.3" | grep -o 'NEEDED.*\[.*\]' | grep -v -E '\[(libc|libm|ld-linux-x86-64)\.so' || true)"
[ -z "$needed" ] || { echo "the wheel's library needs more than glibc: $needed"; exit 1; }
"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/pip" install --no-index --quiet "$work"/dist/kovan-*.whl
cd "$work"
unset PYTHONPATH KOVAN_LIBRARY
installed="$(venv/bin/python -c 'import kovan; print(kovan.__file__)')"
[[ "$installed" == "$work/venv/"* ]] || { echo "kovan was imported from $installed, not the wheel"; exit 1; }
runner=()
command -v xvfb-run > /dev/null && runner=(xvfb-run -a)
"${runner[@]}" venv/bin/python -m pytest -q -p no:cacheprovider "$root/python/tests"
