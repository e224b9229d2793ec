#!/bin/bash
# Installs the Debian packages of dist/ (libkovan3, libkovan-dev,
# kovan-tools; made by scripts/package_all.sh) with apt-get as a user would,
# builds and runs the
# consumers of tests/consumer and examples/ against the installed files
# (CMake's find_package and pkg-config), runs the installed tool and its
# man page, then removes the packages and checks that none of their files
# is left. Runs as root (CI) or with sudo.
# Usage: bash scripts/test_deb.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
packages=(libkovan3 libkovan-dev kovan-tools)
version="$(sed -n 's/^project(kovan VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
for p in "${packages[@]}"; do
    ls "$root/dist/${p}_${version}_"*.deb > /dev/null || { echo "no package $p $version"; exit 1; }
done
dpkg-deb --field "$root/dist/kovan-tools_${version}_"*.deb Depends | grep -q "libkovan3 (= $version)" \
    || { echo "kovan-tools does not depend on libkovan3 $version"; exit 1; }

work="$(mktemp -d)"
remove() { as_root apt-get remove -y "${packages[@]}" > /dev/null 2>&1 || true; rm -rf "$work"; }
trap remove EXIT
as_root apt-get install -y $(for p in "${packages[@]}"; do ls "$root/dist/${p}_${version}_"*.deb; done) > /dev/null
for p in "${packages[@]}"; do dpkg-query -L "$p"; done | sort -u > "$work/files"

sample="$root/examples/data/cantilever.frd"
expected="points 99 cells 40 steps 2"
cmake -S "$root/tests/consumer" -B "$work/cmake" > /dev/null   # finds kovan in /usr
cmake --build "$work/cmake" > /dev/null
for program in consumer_c consumer_cpp; do
    got="$("$work/cmake/$program" "$sample")"
    [ "$got" = "$expected" ] || { echo "$program printed: $got"; exit 1; }
done
cc -std=c99 -Wall -Wextra -pedantic -Werror "$root/tests/consumer/consumer.c" $(pkg-config --cflags --libs kovan) -o "$work/consumer_pkg"
got="$("$work/consumer_pkg" "$sample")"
[ "$got" = "$expected" ] || { echo "pkg-config consumer printed: $got"; exit 1; }
c++ -std=c++17 -Wall -Wextra -Werror "$root/examples/frd_summary.cpp" $(pkg-config --cflags --libs kovan) -o "$work/frd_summary"
"$work/frd_summary" "$sample" | grep -q "^points: 99$" || { echo "the example program failed"; exit 1; }
/usr/bin/kovan info "$sample" | grep -q "^points: 99$" || { echo "the installed kovan info failed"; exit 1; }
[ "$(/usr/bin/kovan --version | tr -d '\n')" != "" ]
man -w kovan > /dev/null 2>&1 || [ -f /usr/share/man/man1/kovan.1.gz ] || { echo "no man page"; exit 1; }

as_root apt-get remove -y "${packages[@]}" > /dev/null
left=0
while read -r path; do
    if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path"; left=1; fi
done < "$work/files"
[ "$left" = 0 ]
echo "Debian packages: ${packages[*]} $version built, installed, used and removed"
