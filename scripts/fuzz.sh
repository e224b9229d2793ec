#!/bin/bash
# Builds the fuzz targets with clang-14 (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS
# (default 60), seeded with the FRD files under tests/data, examples/data and
# fuzz/seeds (records of more than six components, with continuation lines).
# Any finding fails the run; its input is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVAN_FUZZ=ON \
    -DKOVAN_SANITIZE=address,undefined -DKOVAN_BUILD_TESTS=OFF -DKOVAN_BUILD_TOOLS=OFF -DKOVAN_BUILD_EXAMPLES=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzz_open fuzz_rewrite fuzz_writer
rm -rf build-fuzz/findings && mkdir -p build-fuzz/findings
for target in fuzz_open fuzz_rewrite fuzz_writer; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    seeds=(tests/data examples/data fuzz/seeds)
    [ "$target" = fuzz_writer ] && seeds=()
    ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 \
    "./build-fuzz/fuzz/$target" "$corpus" "${seeds[@]}" -dict=fuzz/frd.dict -max_total_time="$seconds" \
        -max_len=65536 -rss_limit_mb=4096 -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 \
        2>&1 | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss|INFO: (Running|Seed|Loaded))|ERROR|SUMMARY|cov:" | tail -8
    if ls build-fuzz/findings/"$target"-* > /dev/null 2>&1; then
        echo "$target: finding in build-fuzz/findings" >&2
        exit 1
    fi
done
