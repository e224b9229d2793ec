#!/bin/bash
# Installs what building and testing kovan needs, from Debian's packages.
set -euo pipefail
packages=(cmake make g++ libfast-float-dev libgtest-dev googletest binutils calculix-cgx libcli11-dev nlohmann-json3-dev valgrind pkg-config python3-numpy python3-vtk9 python3-pytest xvfb xauth libbenchmark-dev)
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${packages[@]}"
