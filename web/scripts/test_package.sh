#!/bin/bash
# The npm package as a user gets it: `npm pack`, installed from the tarball
# into a fresh folder, a file opened through it in Node (against the native
# tool of BUILD), and a TypeScript program checked against its declarations.
# Usage: bash scripts/test_package.sh BUILD   (after npm run build)
set -euo pipefail
web="$(cd "$(dirname "$0")/.." && pwd)"
tool="$(realpath "${1:-$web/../build}")/tools/cli/kovan"
sample="$web/../tests/data/hex8_static.frd"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
tarball="$(cd "$web" && npm pack --silent --pack-destination "$work")"
tar -tzf "$work/$tarball" | sort > "$work/contents"
for f in package/package.json package/README.md package/kovan.d.ts package/dist/kovan.mjs; do
    grep -qx "$f" "$work/contents" || { echo "$tarball lacks $f"; exit 1; }
done
[ "$(wc -l < "$work/contents")" = 4 ] || { echo "$tarball holds more than the module:"; cat "$work/contents"; exit 1; }

mkdir "$work/app"
cd "$work/app"
echo '{ "name": "app", "private": true, "type": "module" }' > package.json
npm install --silent --offline --no-audit --no-fund "$work/$tarball"
cat > open.mjs <<'JS'
import { load } from '@kovan/frd';
import { readFileSync } from 'node:fs';
const kovan = await load();
const doc = kovan.open(readFileSync(process.argv[2]));
const { points, cells, steps } = doc.summary();
console.log(JSON.stringify({ points, cells: cells.total, steps: steps.length }));
doc.close();
JS
got="$(node open.mjs "$sample")"
expected="$("$tool" info --json "$sample" | node -e 'const j = JSON.parse(require("fs").readFileSync(0)); console.log(JSON.stringify({ points: j.points, cells: j.cells.total, steps: j.steps.length }))')"
[ "$got" = "$expected" ] || { echo "through the package: $got; the tool: $expected"; exit 1; }

# Every method of a document is declared, and every declared one exists.
cat > declared.mjs <<'JS'
import { Document } from '@kovan/frd';
import { readFileSync } from 'node:fs';
const text = readFileSync(new URL('./node_modules/@kovan/frd/kovan.d.ts', import.meta.url), 'utf8');
const body = text.slice(text.indexOf('export declare class Document'), text.indexOf('export interface Kovan'));
const declared = [...body.matchAll(/^  (?:readonly )?(\w+)[(:]/gm)].map((m) => m[1]).filter((n) => n !== 'constructor').sort();
const actual = Object.getOwnPropertyNames(Document.prototype).filter((n) => n !== 'constructor' && !n.startsWith('_')).sort();
if (JSON.stringify(declared) !== JSON.stringify(actual)) throw new Error(`declared ${declared} but the module has ${actual}`);
JS
node declared.mjs

cat > check.ts <<'TS'
import kovanReady, { load, Document, KovanError, Format, type FormatName } from '@kovan/frd';
const kovan = await load();
const doc: Document = kovan.open(new Uint8Array(0), { missingAsNaN: true });
const names: string[] = doc.arrays(0).map((a) => a.name);
const disp: Float64Array = doc.arrayData(0, 'DISP');
const format: FormatName = 'binary-double';
const bytes: Uint8Array = kovan.convert(new Uint8Array(0), format);
const again = await kovanReady;
console.log(names, disp, bytes, again.abiVersion, Format.keep, KovanError.name);
TS
"$web/node_modules/.bin/tsc" --noEmit --strict --target es2022 --module nodenext --moduleResolution nodenext check.ts
echo "npm package: $tarball installed, opened a file as the tool does, its declarations check"
