// The page as a viewer, in headless Chromium: the camera's fit, the
// automatic deformation scale, picking against the file's own text, the
// animation and the section. Screenshots go to test-output/ for a look.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import kovanReady from '../dist/kovan.mjs';
import { dataDir } from './native.mjs';
import { loadFile, openPage, shownAfter } from './browser.mjs';

const output = fileURLToPath(new URL('../test-output', import.meta.url));
mkdirSync(output, { recursive: true });
const kovan = await kovanReady;
let session;
let scratch;

before(async () => {
  session = await openPage();
  scratch = mkdtempSync(join(tmpdir(), 'kovan-viewer-'));
});
after(async () => {
  await session?.close();
  rmSync(scratch, { recursive: true, force: true });
});

const shot = (name) => session.page.screenshot({ path: join(output, `${name}.png`) });
const dataset = (key) => session.page.evaluate((k) => document.body.dataset[k], key);

// Runs `action` and waits until the page has shown what it asked for.
async function andShown(action) {
  const shown = Number(await dataset('shown'));
  await action();
  await shownAfter(session.page, shown);
}

function assertInsideCanvas(box, what) {
  assert.ok(box.every((v) => v > -1 && v < 1) && box[2] - box[0] > 0.3, `${what}: ${box}`);
}

// The sample, its coordinates a thousand times larger (each exponent of its
// node records raised by three).
function largeCopy() {
  let inNodes = false;
  const lines = readFileSync(join(dataDir, 'hex8_static.frd'), 'latin1').split('\n').map((line) => {
    if (/^ {4}2C/.test(line)) inNodes = true;
    else if (/^ -3/.test(line)) inNodes = false;
    if (!inNodes || !line.startsWith(' -1')) return line;
    return line.replace(/E([+-]\d\d)/g, (_, e) => `E${Number(e) + 3 >= 0 ? '+' : '-'}${String(Math.abs(Number(e) + 3)).padStart(2, '0')}`);
  });
  const path = join(scratch, 'large.frd');
  writeFileSync(path, lines.join('\n'), 'latin1');
  return path;
}

test('the camera fits every new file, deformed at the automatic scale, and after any standard view', async () => {
  const { page } = session;
  const doc = kovan.open(readFileSync(join(dataDir, 'hex8_static.frd')));
  const last = doc.summary().steps.length - 1;
  const disp = doc.arrayData(last, 'DISP');
  let largest = 0;
  for (let p = 0; p < disp.length; p += 3) largest = Math.max(largest, Math.hypot(disp[p], disp[p + 1], disp[p + 2]));
  const points = doc.points();
  const extent = [0, 1, 2].map((k) => {
    const along = points.filter((_, i) => i % 3 === k);
    return Math.max(...along) - Math.min(...along);
  });
  doc.close();

  await loadFile(page, join(dataDir, 'hex8_static.frd'));
  assertInsideCanvas(JSON.parse(await dataset('box')), 'small model');
  await page.$eval('#scale', (e) => { e.value = '100000'; e.dispatchEvent(new Event('input')); });  // a fixed scale, far too large
  await andShown(() => page.click('#deform'));
  await shot('viewer-fixed-scale');
  // A new file starts from the automatic scale, and fits.
  await loadFile(page, largeCopy());
  assertInsideCanvas(JSON.parse(await dataset('box')), 'large model');
  await loadFile(page, join(dataDir, 'hex8_static.frd'));
  if (!(await page.$eval('#deform', (e) => e.checked))) await andShown(() => page.click('#deform'));
  const scale = Number(await page.$eval('#scale', (e) => e.dataset.value));
  assert.ok(Math.abs((scale * largest) / Math.hypot(...extent) - 0.05) < 1e-12, `scale ${scale}`);
  assert.match(await page.$eval('#scale-note', (e) => e.textContent), /automatic/);
  for (const direction of ['+X', '-Y', '+Z', 'isometric']) {
    await page.click(`[data-view="${direction}"]`);
    const box = JSON.parse(await dataset('box'));
    assertInsideCanvas(box, direction);
  }
  await shot('viewer-automatic-scale');
  assert.deepEqual(session.problems, []);
});

// The values of each block of the last step at node `node`, read from the
// text of an ASCII long file (ten-digit ids, twelve-character values).
function valuesInText(path, node) {
  const found = new Map();
  let block = null;
  for (const line of readFileSync(path, 'latin1').split('\n')) {
    if (line.startsWith(' -4')) block = line.slice(5, 13).trim();
    else if (block && line.startsWith(' -1') && Number(line.slice(3, 13)) === node) {
      found.set(block, line.slice(13).trimEnd().match(/.{12}/g).map(Number));
    }
  }
  return found;
}

test('a click on the model reports the nearest node\'s number, coordinates and values as the file has them', async () => {
  const { page } = session;
  const path = join(dataDir, 'hex8_static.frd');
  await loadFile(page, path);
  await page.click('[data-view="isometric"]');
  const canvas = await (await page.$('#view canvas')).boundingBox();
  await page.mouse.click(canvas.x + canvas.width / 2, canvas.y + canvas.height / 2);
  await page.waitForFunction(() => document.getElementById('picked').dataset.values);
  const picked = JSON.parse(await page.$eval('#picked', (e) => e.dataset.values));
  await shot('viewer-picked');

  const doc = kovan.open(readFileSync(path));
  try {
    assert.equal(picked.step, doc.summary().steps.length - 1);
    assert.equal(picked.node, Number(doc.nodeIds()[picked.point]));
    assert.deepEqual(picked.coordinates, Array.from(doc.points().subarray(3 * picked.point, 3 * picked.point + 3)));
    const inText = valuesInText(path, picked.node);
    const arrays = doc.arrays(picked.step);
    assert.deepEqual(picked.arrays.map((a) => a.name), arrays.map((a) => a.name));
    for (const [i, array] of picked.arrays.entries()) {
      const all = doc.arrayData(picked.step, i);
      const components = arrays[i].components;
      assert.deepEqual(array.values, Array.from(all.subarray(components * picked.point, components * (picked.point + 1))), array.name);
      if (!array.derived) assert.deepEqual(array.values, inText.get(array.name).slice(0, components), `${array.name} in the text`);
    }
    const text = await page.$eval('#picked', (e) => e.textContent);
    assert.match(text, new RegExp(`^node ${picked.node} at `));
    assert.ok(text.includes(`SXX = ${picked.arrays.find((a) => a.name === 'STRESS').values[0]}`), text);
  } finally {
    doc.close();
  }
  // The picked node's values follow the step shown.
  await andShown(() => page.$eval('#step', (e) => { e.value = '0'; e.dispatchEvent(new Event('change')); }));
  await page.waitForFunction(() => JSON.parse(document.getElementById('picked').dataset.values ?? '{}').step === 0);
  // A click beside the model picks nothing.
  await page.mouse.click(canvas.x + 5, canvas.y + 5);
  assert.equal(await page.$eval('#picked', (e) => e.textContent), 'Click the model.');
  assert.deepEqual(session.problems, []);
});

test('play goes through the steps and pause stops it', async () => {
  const { page } = session;
  await loadFile(page, join(dataDir, 'cyclic_modal.frd'));
  const steps = Number(await page.$eval('#step', (e) => e.max)) + 1;
  await page.select('#rate', '10');
  const seen = new Set();
  const shown = Number(await dataset('shown'));
  await page.click('#play');
  while (seen.size < steps) {
    await shownAfter(page, shown + seen.size);
    seen.add(await page.$eval('#step', (e) => e.value));
  }
  await page.click('#play');
  assert.equal(await page.$eval('#play', (e) => e.textContent), 'Play');
  assert.equal(seen.size, steps);  // every step, the last one wrapping round to 0
  assert.deepEqual(session.problems, []);
});

// Pixels that are not the background, left and right of the canvas's
// middle (the triad is drawn in the lower left corner).
async function colouredHalves(page) {
  return page.evaluate(() => {
    const canvas = document.querySelector('#view canvas');
    const copy = document.createElement('canvas');
    [copy.width, copy.height] = [canvas.width, canvas.height];
    const context = copy.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const pixels = context.getImageData(0, 0, copy.width, copy.height).data;
    const halves = [0, 0];
    for (let i = 0; i < pixels.length; i += 4) {
      if (pixels[i] === 255 && pixels[i + 1] === 255 && pixels[i + 2] === 255) continue;
      halves[(i / 4) % copy.width < copy.width / 2 ? 0 : 1] += 1;
    }
    return halves;
  });
}

test('a section along X hides the cells beyond it', async () => {
  const { page } = session;
  await loadFile(page, join(dataDir, 'two_materials.frd'));  // 4 long along X
  await page.click('[data-view="+Z"]');  // X to the right
  const [left, right] = await colouredHalves(page);
  assert.ok(left > 1000 && right > 1000, `${left} ${right}`);
  await page.select('#section-axis', '0');
  await page.$eval('#section-position', (e) => { e.value = '0.5'; e.dispatchEvent(new Event('input')); });
  const [leftCut, rightCut] = await colouredHalves(page);
  await shot('viewer-section');
  assert.ok(Math.abs(leftCut - left) < 0.05 * left, `${leftCut} of ${left}`);
  assert.ok(rightCut < 0.01 * right, `${rightCut} of ${right}`);
  await page.select('#section-axis', '');
  assert.deepEqual(session.problems, []);
});
