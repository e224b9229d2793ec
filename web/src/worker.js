// The page's worker: opens the file with kovan, decodes steps, answers what
// a picked node holds and re-encodes, so that the page stays responsive. It
// answers each request with one message; large arrays move to the page
// without copying (transferred).
import { fileSource, load, ranges } from './kovan.mjs';

const ready = load();  // compiling the module overlaps choosing a file
let doc = null;
let file = null;  // read piece by piece by the document, whole only to convert
let points = null;  // the mesh's coordinates, for what a pick reports
let nodeIds = null;
let decodedStep = -1;  // the step shown, kept decoded for picking

const handlers = { open, show, pick, convert };

// Requests are handled one after the other: an open awaits the file's
// pieces, and what is asked meanwhile waits for it.
let queue = Promise.resolve();
let opens = 0;  // files asked to open; an open that is no longer the last stops
self.onmessage = ({ data }) => {
  if (data.type === 'open') data.order = ++opens;
  queue = queue.then(async () => {
    try {
      const kovan = await ready;
      await handlers[data.type](data, kovan);
    } catch (error) {
      self.postMessage({ type: 'error', request: data.type, message: error.message ?? String(error) });
    }
  });
};

function progress(stage, fraction = null) {
  self.postMessage({ type: 'progress', stage, fraction });
}

// The file as far as kovan may see it: up to `shown` bytes of those that
// have arrived (kovan is shown whole blocks, see open()). Pieces are held
// until kovan has parsed them; older bytes are read again from the file
// (Blob slices) when kovan asks for them, as it does for a step's blocks.
function arrivingSource(chosen) {
  const older = fileSource(chosen);
  const held = [];
  let shown = 0;
  return {
    size: () => shown,
    arrived: () => (held.length > 0 ? held.at(-1).at + held.at(-1).bytes.length : shown),
    add(at, bytes) {
      held.push({ at, bytes });
    },
    show(end) {
      shown = end;
    },
    // Lets the pieces go that hold only bytes kovan has parsed.
    parsed() {
      while (held.length > 1 && held[1].at <= shown) held.shift();
    },
    // All of the file, read from it as asked.
    whole() {
      held.length = 0;
      shown = chosen.size;
    },
    readAt(offset, length) {
      const end = Math.min(offset + length, shown);
      const first = held.findIndex((p) => offset >= p.at && offset < p.at + p.bytes.length);
      const last = held.at(-1);
      if (first < 0 || end <= offset || end > last.at + last.bytes.length) return older.readAt(offset, Math.max(0, end - offset));
      const piece = held[first];
      if (end <= piece.at + piece.bytes.length) return piece.bytes.subarray(offset - piece.at, end - piece.at);
      // Across pieces (held in order, without gaps).
      const out = new Uint8Array(end - offset);
      for (let i = first, at = offset; at < end; ++i) {
        const part = held[i].bytes.subarray(at - held[i].at, Math.min(end, held[i].at + held[i].bytes.length) - held[i].at);
        out.set(part, at - offset);
        at += part.length;
      }
      return out;
    },
  };
}

// Where the last result block's header ("  100C" at the start of a line)
// in the bytes begins, or -1. Record keys are the only text of a file with
// a C in it, so the search looks at few places.
function lastResultHeader(bytes) {
  const key = [0x0a, 0x20, 0x20, 0x31, 0x30, 0x30];  // line feed, "  100"
  for (let at = bytes.lastIndexOf(0x43); at >= 6; at = bytes.lastIndexOf(0x43, at - 1)) {
    if (key.every((b, k) => bytes[at - 6 + k] === b)) return at - 5;
  }
  return -1;
}

// The pieces of `chosen` as a reader on its own thread reads them, in order.
function piecesOf(chosen, sizes) {
  const reader = new Worker(new URL('./reader.js', import.meta.url), { type: 'module' });
  const arrived = [];
  let wake = null;
  reader.onmessage = ({ data }) => {
    arrived.push(data);
    wake?.();
  };
  reader.onerror = (event) => {
    arrived.push({ type: 'failed', message: event.message });
    wake?.();
  };
  reader.postMessage({ type: 'read', file: chosen, first: sizes.first, largest: sizes.largest });
  return {
    async next() {
      while (arrived.length === 0) await new Promise((resolve) => { wake = resolve; });
      const message = arrived.shift();
      if (message.type === 'failed') throw new Error(`the file could not be read: ${message.message}`);
      if (message.type === 'end') return null;
      reader.postMessage({ type: 'taken' });
      return message;
    },
    stop: () => reader.terminate(),
  };
}

// The file is read by a reader of its own, a piece at a time, while kovan
// parses what has arrived. Kovan is shown the file up to the last result
// block's header that has arrived: the blocks before it are whole, so no
// block is parsed twice, the mesh included (a mesh that grows would be
// parsed again from its start). Each time more is shown the document is
// reopened as a file that grew, and only the new blocks are parsed. A file
// with no result header in its first `hold` bytes (a mesh alone, or no FRD
// text) is opened in one go, read as kovan asks; a block longer than `hold`
// is shown cut (and parsed again whole when the next header arrives). The
// page never holds the whole text, and files larger than the module's
// memory open.
// `pieces` (for tests): the reader's piece sizes and `hold`, smaller.
const DEFAULT_PIECES = { first: 32 << 20, largest: 64 << 20, hold: 512 << 20 };

async function open({ file: chosen, order, pieces: sizes = DEFAULT_PIECES }, kovan) {
  doc?.close();
  doc = null;
  points = nodeIds = null;
  decodedStep = -1;
  file = chosen;
  const timings = { reading: 0 };  // reading: the time spent waiting for pieces
  let lap = performance.now();
  const timed = (stage) => {
    const now = performance.now();
    timings[stage] = now - lap;
    lap = now;
  };
  const source = arrivingSource(file);
  const pieces = piecesOf(file, sizes);
  const reading = `reading ${(file.size / 1e6).toFixed(1)} MB`;
  // A point a block gives no value shows as such (grey), not as a 0.
  const showUpTo = (end) => {
    source.show(end);
    const grown = doc ? doc.reopen() : kovan.openSource(source, { missingAsNaN: true });
    doc?.close();
    doc = grown;
    source.parsed();
  };
  try {
    for (;;) {
      const waited = performance.now();
      const piece = await pieces.next();
      timings.reading += performance.now() - waited;
      if (order !== opens) return;  // another file was chosen meanwhile
      if (piece === null) break;
      const bytes = new Uint8Array(piece.bytes);
      source.add(piece.at, bytes);
      const percent = Math.floor((100 * source.arrived()) / Math.max(file.size, 1));
      progress(`${reading}: ${percent} %`, percent / 100);
      const header = lastResultHeader(bytes);
      if (doc === null && header < 0 && source.arrived() > sizes.hold) {
        source.whole();
        break;
      }
      if (header >= 0) showUpTo(piece.at + header);
      else if (doc !== null && source.arrived() - source.size() > sizes.hold) showUpTo(source.arrived());
    }
  } finally {
    pieces.stop();
  }
  if (source.size() < file.size || doc === null) {
    progress(reading);
    showUpTo(file.size);
  }
  timed('open');
  points = doc.points();
  nodeIds = doc.nodeIds();
  const { center, radius, size } = bounds(points);
  const positions = new Float32Array(points.length);
  for (let i = 0; i < points.length; ++i) positions[i] = points[i] - center[i % 3];
  // The page has the outer surface found on a thread of its own while this
  // one decodes the step to show.
  const cells = { types: doc.cellTypes(), offsets: doc.cellOffsets(), connectivity: doc.cellConnectivity() };
  timed('mesh');
  self.postMessage({
    type: 'opened',
    timings,
    summary: doc.summary(),
    mesh: { positions, center, radius, size },
    cells,
  }, [positions.buffer, cells.types.buffer, cells.offsets.buffer, cells.connectivity.buffer]);
}

// The centre and half diagonal of the points' bounding box, and its diagonal.
function bounds(points) {
  const lo = [Infinity, Infinity, Infinity];
  const hi = [-Infinity, -Infinity, -Infinity];
  for (let i = 0; i < points.length; ++i) {
    const k = i % 3;
    if (points[i] < lo[k]) lo[k] = points[i];
    if (points[i] > hi[k]) hi[k] = points[i];
  }
  if (points.length === 0) return { center: [0, 0, 0], radius: 1, size: 0 };
  const center = lo.map((l, k) => (l + hi[k]) / 2);
  const size = Math.hypot(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]);
  return { center, radius: size / 2 || 1, size };
}

// A step's arrays, one component (or the magnitude) of one of them as a
// value per point with its exact range, and the step's displacements (their
// largest length, and the values when the page deforms).
function show({ step, array, component, deform }) {
  progress(`decoding step ${step}`);
  const started = performance.now();
  let arrays;
  try {
    arrays = arraysOf(step);
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
  if (dispIndex >= 0) {
    const disp = doc.arrayData(step, dispIndex);
    reply.largestDisplacement = largestLength(disp, arrays[dispIndex].components);
    if (deform) {
      reply.displacement = threeOf(disp, arrays[dispIndex].components);
      transfers.push(reply.displacement.buffer);
    }
  }
  // The module keeps only the step shown (for picking), none the page has left.
  if (decodedStep !== step && decodedStep >= 0) doc.release(decodedStep);
  decodedStep = step;
  reply.timings = { decode: performance.now() - started };
  self.postMessage(reply, transfers);
}

function arraysOf(step) {
  return doc.arrays(step).map((a, i) => ({ ...a, componentNames: doc.componentNames(step, i) }));
}

// The length of the longest (x, y, z) among the points that have one.
function largestLength(data, components) {
  let largest = 0;
  for (let at = 0; at < data.length; at += components) {
    const length = Math.hypot(data[at], data[at + 1], data[at + 2]);
    if (length > largest) largest = length;
  }
  return largest;
}

// x, y, z of each point, 0 where the file gives a point none.
function threeOf(data, components) {
  const out = new Float32Array((data.length / components) * 3);
  for (let p = 0, at = 0; at < data.length; at += components, p += 3) {
    for (let k = 0; k < 3; ++k) out[p + k] = Number.isNaN(data[at + k]) ? 0 : data[at + k];
  }
  return out;
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

// What the file says at one point in one step: its node number, its
// coordinates and every array's values there, as kovan reads them.
function pick({ step, point }) {
  const arrays = step >= 0 ? arraysOf(step) : [];
  self.postMessage({
    type: 'picked',
    step,
    point,
    node: Number(nodeIds[point]),
    coordinates: Array.from(points.subarray(3 * point, 3 * point + 3)),
    arrays: arrays.map((a, i) => ({ name: a.name, derived: a.derived, componentNames: a.componentNames, values: Array.from(doc.pointValues(step, i, point)) })),
  });
}

function convert({ format }, kovan) {
  progress(`converting to ${format}`);
  const bytes = kovan.convert(new Uint8Array(new FileReaderSync().readAsArrayBuffer(file)), format);
  self.postMessage({ type: 'converted', format, bytes }, [bytes.buffer]);
}
