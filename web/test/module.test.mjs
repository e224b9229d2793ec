// The WebAssembly module against the native tool, for every file of
// tests/data: the same summary as `kovan info --json` and the same bytes
// from every conversion.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import kovanReady, { Document, Format, KovanError, Status, load } from '../dist/kovan.mjs';
import { dataDir, files, nativeTool } from './native.mjs';

const kovan = await kovanReady;

for (const name of files) {
  test(`${name}: info() is the tool's summary`, () => {
    const native = JSON.parse(execFileSync(nativeTool, ['info', '--json', join(dataDir, name)], { encoding: 'utf8' }));
    for (const key of ['file', 'size', 'blocks']) delete native[key];
    const doc = kovan.open(readFileSync(join(dataDir, name)));
    try {
      const planned = native.steps.map((step) => doc.plannedArrays(step.index));  // before any step decodes
      assert.deepEqual(doc.info(), native);
      assert.deepEqual(planned, native.steps.map((step) => step.arrays.map((a) => ({
        name: a.name, components: a.components, derived: a.derived, componentNames: a.component_names,
      }))));
    } finally {
      doc.close();
    }
  });

  test(`${name}: conversions are the native bytes`, () => {
    const input = readFileSync(join(dataDir, name));
    const scratch = mkdtempSync(join(tmpdir(), 'kovan-web-'));
    try {
      for (const format of Object.keys(Format)) {
        const out = join(scratch, `${format}.frd`);
        let nativeBytes = null;
        try {
          execFileSync(nativeTool, ['convert', '--to', format, join(dataDir, name), out], { stdio: 'pipe' });
          nativeBytes = readFileSync(out);
        } catch {
          // the tool refuses the conversion: so must the module
        }
        if (nativeBytes === null) {
          assert.throws(() => kovan.convert(input, format), KovanError);
        } else {
          assert.deepEqual(Buffer.from(kovan.convert(input, format)), nativeBytes, format);
        }
      }
    } finally {
      rmSync(scratch, { recursive: true, force: true });
    }
  });
}

test('the mesh and arrays are the library\'s, and failures carry their texts', () => {
  const doc = kovan.open(readFileSync(join(dataDir, 'hex8_static.frd')));
  const offsets = doc.cellOffsets();
  assert.equal(doc.cellConnectivity().length, Number(offsets[offsets.length - 1]));
  assert.equal(doc.points().length, 3 * doc.nPoints);
  const disp = doc.arrayData(doc.nSteps - 1, 'DISP');
  assert.equal(disp.length, 3 * doc.nPoints);
  assert.equal(doc.stepsParsed, 1);
  assert.throws(() => doc.arrayData(0, 'NOPE'), (e) => e.status === Status.RANGE);
  // Each failure carries its own text.
  assert.throws(() => doc.stepTime(99), (e) => e.status === Status.RANGE && e.detail === 'step 99 is out of range: the document has 2 steps');
  assert.ok(doc instanceof Document);
  doc.release(doc.nSteps - 1);
  assert.deepEqual(doc.arrayData(doc.nSteps - 1, 'DISP'), disp);  // decoded again
  assert.throws(() => doc.release(99), (e) => e.status === Status.RANGE && /step 99 is out of range/.test(e.detail));
  doc.close();
  assert.throws(() => doc.nPoints, KovanError);
  assert.throws(() => kovan.convert(new Uint8Array(4), 'binary-half'), (e) => e.status === Status.ARG);
});

test('load() and the default export share one module; the library names cell types and diagnostics', async () => {
  assert.equal(await load(), kovan);
  assert.equal(kovan.describeElement(12), '8-node hexahedron (CalculiX type 1)');
  assert.equal(kovan.describeElement(7), 'VTK type 7');
  assert.equal(kovan.describeDiagnostic(4), 'not an FRD file');
  const notes = kovan.open(new TextEncoder().encode('a note, renamed\n'));
  assert.deepEqual(notes.diagnostics().map((d) => d.description), ['not an FRD file']);
  notes.close();
});

test('a source read piece by piece opens as its bytes do, and lets its functions go when closed', () => {
  const bytes = readFileSync(join(dataDir, 'hex8_static.frd'));
  let reads = 0;
  const doc = kovan.openSource({
    size: () => bytes.length,
    readAt: (offset, length) => {
      ++reads;
      return bytes.subarray(offset, offset + length);
    },
  });
  const whole = kovan.open(bytes);
  try {
    assert.deepEqual(doc.info(), whole.info());
    assert.ok(reads > 0);
  } finally {
    doc.close();
    whole.close();
  }
  const failing = { size: () => bytes.length, readAt: () => { throw new Error('gone'); } };
  assert.throws(() => kovan.openSource(failing), (e) => e.status === Status.IO && e.detail === 'the bytes could not be read');
});

test('a cut-off file opens with its diagnostic', () => {
  const whole = readFileSync(join(dataDir, 'hex8_static.frd'));
  const doc = kovan.open(whole.subarray(0, Math.floor(whole.length / 3)));
  try {
    assert.ok(doc.diagnostics().some((d) => d.kind === 3));
  } finally {
    doc.close();
  }
});
