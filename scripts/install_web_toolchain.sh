#!/bin/bash
# Installs what builds and tests the browser module and page: Debian's
# emscripten (the WebAssembly build) and Chromium (the page's tests, run
# headless). Node and npm come with the machine; npm fetches the page's
# packages from the npm registry.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y --no-install-recommends emscripten chromium
