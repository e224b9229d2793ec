#!/bin/bash
# Installs the cross compiler for kovan.dll (MinGW-w64 with POSIX threads,
# whose libstdc++ has std::mutex) and Wine to run the Windows tests.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y g++-mingw-w64-x86-64-posix wine64
