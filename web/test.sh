#!/bin/bash
# Builds the WebAssembly module and the page, and tests both against the
# native tool of BUILD (default: build), the page in headless Chromium, and
# the npm package installed from its tarball.
# Usage: bash web/test.sh [BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$root" && realpath "${1:-build}")"
cd "$root/web"
npm ci --no-audit --no-fund
npm run build
KOVAN_TOOL="$build/tools/cli/kovan" npm test
bash scripts/test_package.sh "$build"
