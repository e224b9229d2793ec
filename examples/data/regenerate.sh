#!/bin/bash
# Regenerates the sample file cantilever.frd from its CalculiX deck (needs
# the Debian package calculix-ccx).
set -euo pipefail
cd "$(dirname "$0")"
ccx -i cantilever > /dev/null
rm -f cantilever.12d cantilever.cvg cantilever.sta cantilever.dat spooles.out
