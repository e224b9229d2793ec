#!/bin/bash
# Runs every test program of BUILD (default build/) under valgrind memcheck;
# any memory error or leak fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
status=0
for program in "$build"/tests/*_tests; do
    # valgrind replaces the allocation functions that the robustness tests
    # make fail; those run under LeakSanitizer instead.
    [[ "$program" == *robustness_tests ]] && continue
    if ! valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
            "$program" --gtest_brief=1 > "$program.memcheck.log" 2>&1; then
        echo "memcheck: $program failed; see $program.memcheck.log"
        tail -30 "$program.memcheck.log"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "memcheck: every test program clean"
exit "$status"
