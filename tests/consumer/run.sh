#!/bin/bash
# Installs kovan from BUILD into a scratch prefix, then builds and runs small
# consumers against it: with CMake (C and C++) and with pkg-config (C).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$source_dir/build}" && pwd)"
work="$build/consumer"
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" > /dev/null
sample="$source_dir/examples/data/cantilever.frd"
expected="points 99 cells 40 steps 2"

cmake -S "$source_dir/tests/consumer" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$work/prefix" > /dev/null
cmake --build "$work/cmake" > /dev/null
for program in consumer_c consumer_cpp; do
    got="$("$work/cmake/$program" "$sample")"
    [ "$got" = "$expected" ] || { echo "$program printed: $got"; exit 1; }
done

libdir="$(find "$work/prefix" -name kovan.pc -printf '%h')"
export PKG_CONFIG_PATH="$libdir"
cc -std=c99 -Wall -Wextra -pedantic -Werror "$source_dir/tests/consumer/consumer.c" \
   $(pkg-config --cflags --libs kovan) -Wl,-rpath,"$(pkg-config --variable=libdir kovan)" -o "$work/consumer_pkg"
got="$("$work/consumer_pkg" "$sample")"
[ "$got" = "$expected" ] || { echo "pkg-config consumer printed: $got"; exit 1; }
echo "consumers: 3 passed, 0 failed"
