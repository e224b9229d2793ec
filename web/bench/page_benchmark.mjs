// Opening a generated ASCII file in the page and showing its last step, in
// headless Chromium, against the native kovan_open plus decoding of that
// step. Medians of RUNS runs, each native run in a fresh process and each
// page run in a fresh page; the page's stages are printed too, and the
// browser's peak memory (the largest peak resident size of its processes,
// and the sum of their peaks).
// Usage: npm run bench -- [SIZE_MB] [BUILD] [RUNS]   (defaults: 100, ../build, 3)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readdirSync, readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { loadFile, openPage } from '../test/browser.mjs';

const here = fileURLToPath(new URL('.', import.meta.url));
const size = process.argv[2] ?? '100';
const build = resolve(here, '../..', process.argv[3] ?? 'build');
const runs = Number(process.argv[4] ?? 3);
const data = join(build, 'bench-data', 'web');
const file = join(data, `ascii-long-${size}.frd`);
const hour = 3600000;
mkdirSync(data, { recursive: true });
if (!existsSync(file)) execFileSync(join(build, 'bench/frd_generate'), [size, 'ascii-long', file], { stdio: 'inherit' });

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The peak resident size (VmHWM, MB) of the browser's process and of every
// process below it.
function peakMemory(rootPid) {
  const parents = new Map();
  for (const entry of readdirSync('/proc').filter((e) => /^\d+$/.test(e))) {
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, 'utf8');
      parents.set(Number(entry), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch { /* gone meanwhile */ }
  }
  const family = [rootPid];
  for (let i = 0; i < family.length; ++i) for (const [pid, parent] of parents) if (parent === family[i]) family.push(pid);
  const peaks = family.map((pid) => {
    try {
      return Number(/VmHWM:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))?.[1] ?? 0) / 1024;
    } catch {
      return 0;
    }
  });
  return { largest: Math.max(...peaks), sum: peaks.reduce((a, b) => a + b, 0) };
}

// One process per run, as each page run is a fresh page.
const native = median(Array.from({ length: runs }, () => Number(execFileSync('/usr/bin/python3',
  [join(here, 'native_open_last_step.py'), join(build, 'libkovan.so'), file, '1'], { encoding: 'utf8' }))));

const page = [];
const stages = [];
const pageAgain = [];
const stagesAgain = [];
const memory = [];
for (let run = 0; run < runs; ++run) {
  const session = await openPage();  // a fresh page each run: nothing cached
  try {
    await loadFile(session.page, file, hour);
    page.push(Number(await session.page.evaluate(() => document.body.dataset.shownMs)) / 1000);
    stages.push(await session.page.evaluate(() => document.body.dataset.timings));
    memory.push(peakMemory(session.browser.process().pid));
    await loadFile(session.page, file, hour);  // again: into memory the page has used before
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
console.log(`browser peak memory after the first file, MB: largest process ${memory.map((m) => m.largest.toFixed(0)).join(', ')}; all processes ${memory.map((m) => m.sum.toFixed(0)).join(', ')}`);
console.log(`ratio page / native: ${(shown / native).toFixed(2)} (target: at most 3)`);
