#!/bin/bash
# Regenerates the solver output in this folder from its CalculiX decks:
# NAME.inp -> NAME.frd (and NAME.dat, the solver's printed values), and the
# short-format copy that CalculiX's post-processor writes of hex20_binary.frd.
# Needs the Debian packages calculix-ccx and calculix-cgx.
set -euo pipefail
cd "$(dirname "$0")"

for deck in *.inp; do
    name="${deck%.inp}"
    ccx -i "$name" > /dev/null
done
rm -f ./*.12d ./*.cvg ./*.sta spooles.out
find . -maxdepth 1 -name "*.dat" -size 0 -delete

# cgx writes short ASCII blocks: element headers without a count, node
# numbers that touch the record key, 20-node lines of touching 5-digit numbers.
script=$(mktemp --suffix=.fbd)
trap 'rm -f "$script" all.frd' EXIT
printf 'read hex20_binary.frd\nsend all frd\nquit\n' > "$script"
cgx -bg "$script" < /dev/null > /dev/null
mv all.frd hex20_cgx_short.frd
