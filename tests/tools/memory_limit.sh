#!/bin/bash
# kovan info reads a file larger than the memory it may use: a generated
# file of about 300 MB, under a virtual-memory limit of half its size.
# Usage: memory_limit.sh FRD_GENERATE KOVAN FOLDER
set -euo pipefail
generate="$1" tool="$2" folder="$3"
mkdir -p "$folder"
file="$folder/memory_limit.frd"
trap 'rm -f "$file"' EXIT
"$generate" 300 ascii-long "$file" > /dev/null
limit_kb=$(( $(stat -c %s "$file") / 2048 ))
( ulimit -v "$limit_kb"; "$tool" info --jobs 1 "$file" > "$folder/memory_limit.out" )
grep -q "^steps: 11$" "$folder/memory_limit.out"
echo "kovan info read a $(( $(stat -c %s "$file") / 1000000 )) MB file within $(( limit_kb / 1000 )) MB of virtual memory"
