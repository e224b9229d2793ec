#!/bin/bash
# Installs clang 14 with its libFuzzer and sanitizer runtimes.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y clang-14 libclang-rt-14-dev
