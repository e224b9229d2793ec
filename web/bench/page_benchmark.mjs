// Opening a generated ASCII file in the page and showing its last step, in
// headless Chromium, against the native kovan_open plus decoding of that
// step. Medians of three runs, each native run in a fresh process and each
// page run in a fresh page; the page's stages are printed too.
// Usage: npm run bench -- [SIZE_MB] [BUILD]   (defaults: 100, ../build)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { loadFile, openPage } from '../test/browser.mjs';

const here = fileURLToPath(new URL('.', import.meta.url));
const size = process.argv[2] ?? '100';
const build = resolve(here, '../..', process.argv[3] ?? 'build');
const data = join(build, 'bench-data', 'web');
const file = join(data, `ascii-long-${size}.frd`);
mkdirSync(data, { recursive: true });
if (!existsSync(file)) execFileSync(join(build, 'bench/frd_generate'), [size, 'ascii-long', file], { stdio: 'inherit' });

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// One process per run, as each page run is a fresh page.
const native = median([0, 1, 2].map(() => Number(execFileSync('/usr/bin/python3',
  [join(here, 'native_open_last_step.py'), join(build, 'libkovan.so'), file, '1'], { encoding: 'utf8' }))));

const page = [];
const stages = [];
const pageAgain = [];
const stagesAgain = [];
for (let run = 0; run < 3; ++run) {
  const session = await openPage();  // a fresh page each run: nothing cached
  try {
    await loadFile(session.page, file);
    page.push(Number(await session.page.evaluate(() => document.body.dataset.shownMs)) / 1000);
    stages.push(await session.page.evaluate(() => document.body.dataset.timings));
    await loadFile(session.page, file);  // again: into memory the page has used before
    pageAgain.push(Number(await session.page.evaluate(() => document.body.dataset.shownMs)) / 1000);
    stagesAgain.push(await session.page.evaluate(() => document.body.dataset.timings));
    if (session.problems.length > 0) throw new Error(session.problems.join('; '));
  } finally {
    await session.close();
  }
}
const shown = median(page);
console.log(`file: ${file}`);
console.log(`native kovan_open + last step decoded: ${native.toFixed(3)} s`);
console.log(`page, file chosen to last step shown:  ${shown.toFixed(3)} s (runs: ${page.map((t) => t.toFixed(3)).join(', ')})`);
console.log(`worker stages of each run, ms: ${stages.join(' ')}`);
console.log(`the same file again in the same page: ${median(pageAgain).toFixed(3)} s (ratio ${(median(pageAgain) / native).toFixed(2)}), stages ${stagesAgain.join(' ')}`);
console.log(`ratio page / native: ${(shown / native).toFixed(2)} (target: at most 3)`);
