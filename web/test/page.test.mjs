// The page in headless Chromium: files of tests/data loaded through the
// file input, the summary and the legend's ranges against the native tool,
// steps and arrays switched, a conversion downloaded, a screenshot taken.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { dataDir, nativeTool } from './native.mjs';
import { loadFile, openPage, shownAfter } from './browser.mjs';

const native = (name) => JSON.parse(execFileSync(nativeTool, ['info', '--json', join(dataDir, name)], { encoding: 'utf8' }));
let session;

before(async () => {
  session = await openPage();
});
after(async () => {
  await session?.close();
});

async function legend(page) {
  return page.evaluate(() => ['legend-min', 'legend-max'].map((id) => document.getElementById(id).dataset.value));
}

// Chooses in a select and waits for the page to show the result.
async function choose(page, selector, value) {
  const shown = await page.evaluate(() => Number(document.body.dataset.shown));
  await page.select(selector, value);
  await shownAfter(page, shown);
}

async function setStep(page, step) {
  const shown = await page.evaluate(() => Number(document.body.dataset.shown));
  await page.$eval('#step', (input, value) => {
    input.value = String(value);
    input.dispatchEvent(new Event('change'));
  }, step);
  await shownAfter(page, shown);
}

test('the summary, the legend of any array and component, and the steps are the tool\'s', async () => {
  const { page } = session;
  const expected = native('hex8_static.frd');
  await loadFile(page, join(dataDir, 'hex8_static.frd'));
  const summary = await page.$eval('#summary', (e) => e.textContent);
  assert.match(summary, new RegExp(`points: ${expected.points}\\n`));
  assert.match(summary, new RegExp(`cells: ${expected.cells.total}\\n`));
  assert.match(summary, new RegExp(`steps: ${expected.steps.length}\\n`));

  // The last step is shown first; then Z of DISP, a derived array, an earlier step.
  const last = expected.steps.length - 1;
  assert.equal(await page.$eval('#step', (e) => e.value), String(last));
  const checks = [[last, 'DISP', '2'], [last, 'STRESS_Mises', '0'], [0, 'STRESS', '3']];
  for (const [step, array, component] of checks) {
    if (Number(await page.$eval('#step', (e) => e.value)) !== step) await setStep(page, step);
    await choose(page, '#array', array);
    if (await page.$eval('#component', (e) => e.value) !== component) await choose(page, '#component', component);
    const info = expected.steps[step].arrays.find((a) => a.name === array);
    assert.deepEqual((await legend(page)).map(Number), [info.min[component], info.max[component]], `${array} ${component} of step ${step}`);
  }
  assert.deepEqual(session.problems, []);
});

test('every file of tests/data opens and shows; failures are shown, not thrown', async () => {
  const { page } = session;
  for (const name of readdirSync(dataDir).filter((f) => f.endsWith('.frd'))) {
    await loadFile(page, join(dataDir, name));
    const status = await page.$eval('#status', (e) => e.textContent);
    assert.match(status, /opened and shown/, name);
    const options = await page.$$eval('#array option', (list) => list.map((o) => o.value));
    const expected = native(name);
    const lastStep = expected.steps.at(-1);
    if (lastStep) assert.deepEqual(options, lastStep.arrays.map((a) => a.name), name);
  }
  // A file still being written: what was read is shown, with the diagnostic.
  const scratch = mkdtempSync(join(tmpdir(), 'kovan-cut-'));
  try {
    const whole = readFileSync(join(dataDir, 'hex8_static.frd'));
    const cut = join(scratch, 'cut.frd');
    writeFileSync(cut, whole.subarray(0, Math.floor(whole.length * 0.6)));
    await loadFile(page, cut);
    assert.match(await page.$eval('#status', (e) => e.textContent), /opened and shown/);
    assert.match(await page.$eval('#diagnostics', (e) => e.textContent), /block cut off by the end of the file/);
    // Bytes that are no FRD file say so.
    const random = join(scratch, 'random.frd');
    writeFileSync(random, Buffer.from(Array.from({ length: 4096 }, (_, i) => (i * 7919 + 13) % 251)));
    await loadFile(page, random);
    assert.match(await page.$eval('#status', (e) => e.textContent), /^not an FRD file/);
  } finally {
    rmSync(scratch, { recursive: true, force: true });
  }
  assert.deepEqual(session.problems, []);
});

test('a file read in many small pieces shows as one read whole', async () => {
  const pieces = await openPage('?pieces=1000');
  try {
    for (const name of readdirSync(dataDir).filter((f) => f.endsWith('.frd'))) {
      const panels = [];
      for (const page of [session.page, pieces.page]) {
        await loadFile(page, join(dataDir, name));
        panels.push(await page.evaluate(() => ['summary', 'diagnostics', 'array', 'legend-ticks']
          .map((id) => document.getElementById(id).innerHTML).join('\n')));
      }
      assert.equal(panels[1], panels[0], name);
    }
    assert.deepEqual(pieces.problems, []);
  } finally {
    await pieces.close();
  }
});

test('components carry the file\'s names, and modal steps their mode and nodal diameter', async () => {
  const { page } = session;
  const contact = native('contact.frd').steps.at(-1).arrays.find((a) => a.name === 'CONTACT');
  await loadFile(page, join(dataDir, 'contact.frd'));
  await choose(page, '#array', 'CONTACT');
  const options = await page.$$eval('#component option', (list) => list.map((o) => o.textContent));
  assert.deepEqual(options, contact.component_names);  // six named values, and no magnitude of them
  assert.equal(await page.$eval('#legend-title', (e) => e.textContent), `CONTACT ${contact.component_names[0]}`);
  const steps = native('cyclic_modal.frd').steps;
  await loadFile(page, join(dataDir, 'cyclic_modal.frd'));
  const last = steps.at(-1);
  assert.equal(await page.$eval('#step-label', (e) => e.textContent),
    `step ${steps.length - 1} (0 to ${steps.length - 1}), frequency ${last.value_text} (mode ${last.mode}, nodal diameter ${last.nodal_diameter})`);
  assert.deepEqual(session.problems, []);
});

test('a conversion downloads the native tool\'s bytes', async () => {
  const { page } = session;
  const downloads = mkdtempSync(join(tmpdir(), 'kovan-downloads-'));
  try {
    const client = await page.createCDPSession();
    await client.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await loadFile(page, join(dataDir, 'hex20_binary.frd'));
    await page.select('#format', 'ascii-long');
    await page.click('#save');
    const saved = join(downloads, 'hex20_binary.ascii-long.frd');
    await page.waitForFunction(() => /^saved /.test(document.getElementById('status').textContent));
    for (let i = 0; i < 100 && !existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
    const reference = join(downloads, 'native.frd');
    execFileSync(nativeTool, ['convert', '--to', 'ascii-long', join(dataDir, 'hex20_binary.frd'), reference]);
    assert.deepEqual(readFileSync(saved), readFileSync(reference));
  } finally {
    rmSync(downloads, { recursive: true, force: true });
  }
});

test('the drawing is not blank, and deforms', async () => {
  const { page } = session;
  await loadFile(page, join(dataDir, 'hex8_static.frd'));
  const colours = () => page.evaluate(() => {
    const canvas = document.querySelector('#view canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const pixels = context.getImageData(0, 0, copy.width, copy.height).data;
    const seen = new Set();
    let coloured = 0;
    for (let i = 0; i < pixels.length; i += 4) {
      seen.add((pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2]);
      if (pixels[i] !== 255 || pixels[i + 1] !== 255 || pixels[i + 2] !== 255) ++coloured;
    }
    return { distinct: seen.size, coloured };
  });
  const flat = await colours();
  assert.ok(flat.distinct > 20 && flat.coloured > 1000, JSON.stringify(flat));
  const shown = await page.evaluate(() => Number(document.body.dataset.shown));
  await page.$eval('#scale', (e) => { e.value = '2000'; });
  await page.click('#deform');
  await shownAfter(page, shown);
  const deformed = await colours();
  assert.notEqual(deformed.coloured, flat.coloured);
  const output = fileURLToPath(new URL('../test-output', import.meta.url));
  mkdirSync(output, { recursive: true });
  await page.screenshot({ path: join(output, 'viewer.png') });
});
