#!/bin/bash
# Installs what building and testing kovan needs, from Debian's packages.
set -euo pipefail
packages=(cmake make g++ libfast-float-dev libgtest-dev googletest binutils calculix-cgx libcli11-dev nlohmann-json3-dev valgrind pkg-config python3-numpy python3-pytest xvfb xauth libbenchmark-dev)
# ParaView's Python (python3-paraview) also serves `import vtk`, and conflicts
# with python3-vtk9; paraview-dev builds the ParaView plugin and needs MPI's
# and double-conversion's development files besides.
packages+=(python3-paraview paraview-dev libopenmpi-dev libdouble-conversion-dev)
# The Python package's meshio format and XDMF series, and its wheel, built
# and installed offline.
packages+=(python3-meshio python3-h5py python3-setuptools python3-wheel python3-build python3-pip python3-venv)
# fsspec's file systems (local, memory; S3, HTTP in production) as sources of
# the Python package, and its xarray engine with dask, dask.distributed and zarr.
packages+=(python3-fsspec python3-xarray python3-dask python3-distributed python3-zarr)
# The Debian packages: the tool's man page (help2man), their dependencies
# (dpkg-shlibdeps, in dpkg-dev), unzip and file to look into packages.
packages+=(help2man dpkg-dev unzip man-db file)
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${packages[@]}"
