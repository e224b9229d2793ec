// The page's worker: opens the file with kovan, decodes steps and re-encodes,
// so that the page stays responsive. It answers each request with one
// message; large arrays move to the page without copying (transferred).
import { fileSource, load, ranges } from './kovan.mjs';
import { lowWords, outerSurface } from './surface.js';

let kovan = null;
let doc = null;
let file = null;  // read piece by piece by the document, whole only to convert

const handlers = { open, show, convert };

self.onmessage = async ({ data }) => {
  try {
    kovan ??= await load();
    await handlers[data.type](data);
  } catch (error) {
    self.postMessage({ type: 'error', request: data.type, message: error.message ?? String(error) });
  }
};

function progress(stage) {
  self.postMessage({ type: 'progress', stage });
}

// The file is read here, a piece at a time as the module asks for it (Blob
// slices), never whole: the page holds nothing of it, and files larger than
// the module's memory open.
function open({ file: chosen }) {
  doc?.close();
  doc = null;
  file = chosen;
  const timings = {};
  let lap = performance.now();
  const timed = (stage) => {
    const now = performance.now();
    timings[stage] = now - lap;
    lap = now;
  };
  progress('reading nodes and elements');
  // A point a block gives no value shows as such (grey), not as a 0.
  doc = kovan.openSource(fileSource(file), { missingAsNaN: true });
  timed('open');
  progress('finding the outer surface');
  const points = doc.points();
  const { center, radius } = bounds(points);
  const positions = new Float32Array(points.length);
  for (let i = 0; i < points.length; ++i) positions[i] = points[i] - center[i % 3];
  const surface = outerSurface(doc.cellTypes(), lowWords(doc.cellOffsets()), lowWords(doc.cellConnectivity()));
  timed('surface');
  self.postMessage({
    type: 'opened',
    timings,
    summary: doc.summary(),
    mesh: { positions, center, radius, triangles: surface.triangles, segments: surface.segments },
  }, [positions.buffer, surface.triangles.buffer, surface.segments.buffer]);
}

function bounds(points) {
  const lo = [Infinity, Infinity, Infinity];
  const hi = [-Infinity, -Infinity, -Infinity];
  for (let i = 0; i < points.length; ++i) {
    const k = i % 3;
    if (points[i] < lo[k]) lo[k] = points[i];
    if (points[i] > hi[k]) hi[k] = points[i];
  }
  if (points.length === 0) return { center: [0, 0, 0], radius: 1 };
  const center = lo.map((l, k) => (l + hi[k]) / 2);
  const radius = Math.hypot(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]) / 2 || 1;
  return { center, radius };
}

// A step's arrays, one component (or the magnitude) of one of them as a
// value per point with its exact range, and DISP when the page deforms.
function show({ step, array, component, deform }) {
  progress(`decoding step ${step + 1}`);
  const started = performance.now();
  let arrays;
  try {
    arrays = doc.arrays(step).map((a, i) => ({ ...a, componentNames: doc.componentNames(step, i) }));
  } catch (error) {
    self.postMessage({ type: 'shown', step, arrays: [], error: error.message });
    return;
  }
  const index = Math.max(0, arrays.findIndex((a) => a.name === array));
  const components = arrays[index]?.components ?? 0;
  const chosen = chooseComponent(components, component);
  const reply = { type: 'shown', step, arrays, array: arrays[index]?.name ?? null, component: chosen, error: null };
  const transfers = [];
  if (arrays.length > 0) {
    const field = fieldOf(doc.arrayData(step, index), components, chosen);
    Object.assign(reply, field);
    transfers.push(field.values.buffer);
  }
  const dispIndex = arrays.findIndex((a) => a.name === 'DISP' && a.components >= 3);
  reply.canDeform = dispIndex >= 0;
  if (deform && dispIndex >= 0) {
    reply.displacement = Float32Array.from(doc.arrayData(step, dispIndex));
    transfers.push(reply.displacement.buffer);
  }
  doc.release(step);  // copied out: the module's memory holds no step the page is not asking for
  reply.timings = { decode: performance.now() - started };
  self.postMessage(reply, transfers);
}

// The component asked for where the array has it; otherwise (and for
// 'default') the magnitude of a vector and the first component of the rest.
// Only a vector (three components) has a magnitude: the six of a tensor or
// of CONTACT's opening, slips and pressures do not make one.
function chooseComponent(components, asked) {
  if (asked === 'magnitude' && components === 3) return asked;
  if (typeof asked === 'number' && asked >= 0 && asked < components) return asked;
  return components === 3 ? 'magnitude' : 0;
}

// One component, or the magnitude ('magnitude') of all, per point; min and
// max over the values that are numbers (null when none is).
function fieldOf(data, components, component) {
  const n = components > 0 ? data.length / components : 0;
  const exact = new Float64Array(n);
  for (let p = 0; p < n; ++p) {
    if (component === 'magnitude') {
      let sum = 0;
      for (let k = 0; k < components; ++k) sum += data[p * components + k] ** 2;
      exact[p] = Math.sqrt(sum);
    } else {
      exact[p] = data[p * components + component];
    }
  }
  const { min, max } = ranges(exact, 1);  // of the values, not of their float32 copies
  return { values: Float32Array.from(exact), min: min[0], max: max[0] };
}

function convert({ format }) {
  progress(`converting to ${format}`);
  const bytes = kovan.convert(new Uint8Array(new FileReaderSync().readAsArrayBuffer(file)), format);
  self.postMessage({ type: 'converted', format, bytes }, [bytes.buffer]);
}
