// kovan in JavaScript: the library's WebAssembly module behind a small API,
// in browsers and in Node. Importing does nothing; load() starts the module
// and resolves to the API (one module per page or worker, shared):
//
//   import { load } from './kovan.mjs';
//   const kovan = await load();
//   const doc = kovan.open(uint8Array);
//   doc.info();                       // as `kovan info --json`
//   doc.arrayData(doc.nSteps - 1, 'DISP');
//   doc.close();
//
// The default export, awaited, is load()'s API too (`await kovanReady`), as
// it has always been; it starts the module only when it is awaited.
// kovan.openSource() reads a text piece by piece through the caller's
// function (a browser File in a worker: fileSource(file)).
//
// Everything handed out is a copy: the module's memory moves when it grows,
// so views into it would not stay valid.
import createKovanModule from '../build/kovan_wasm.mjs';
import { escapedText } from './names.mjs';

export const Status = Object.freeze({ OK: 0, IO: 1, PARSE: 2, RANGE: 3, NOMEM: 4, ARG: 5, COMPONENTS: 6, INTERNAL: 7 });
export const Format = Object.freeze({ 'keep': -1, 'ascii-short': 0, 'ascii-long': 1, 'binary-float': 2, 'binary-double': 3 });

export class KovanError extends Error {
  constructor(status, statusMessage, detail) {
    super(detail ? `${statusMessage}: ${detail}` : statusMessage);
    this.name = 'KovanError';
    this.status = status;
    this.statusMessage = statusMessage;
    this.detail = detail;
  }
}

const ABI_VERSION = 3;
const STRUCT_ARRAY_INFO = 1;
const STRUCT_DIAGNOSTIC = 2;
const STRUCT_SOURCE = 3;
const STRUCT_STEP_INFO = 4;
// Open flags (kovan_open_options.reserved).
const OPEN_MISSING_AS_NAN = 1;
const OPEN_FILE_ORDER = 2;
// Which fields of a step record the file stated.
const STEP_HAS = { setNumber: 1, step: 2, mode: 4, nodalDiameter: 8, generalisedMass: 16, generalisedStiffness: 32 };
const RESERVE_SLACK = 16 << 20;  // the mesh and the first step's arrays, roughly

// Bytes of a NUL-terminated text in the module's memory, as JavaScript text.
function textAt(m, pointer) {
  const heap = m.HEAPU8;
  let end = pointer;
  while (heap[end] !== 0) ++end;
  return escapedText(heap.subarray(pointer, end));
}

// Runs `body` with `size` bytes of the module's heap, freed afterwards.
function withScratch(m, size, body) {
  const pointer = m._malloc(Math.max(size, 8));
  if (pointer === 0) throw new KovanError(Status.NOMEM, textAt(m, m._kovan_status_message(Status.NOMEM)), '');
  try {
    return body(pointer);
  } finally {
    m._free(pointer);
  }
}

// The caller's bytes copied into the module's heap for the duration of `body`.
function withBytes(m, bytes, body) {
  return withScratch(m, bytes.length, (pointer) => {
    m.HEAPU8.set(bytes, pointer);
    return body(pointer);
  });
}

// Throws for a failed status with the text the failing call left in the
// thread's slot: every failure leaves one.
function check(m, status) {
  if (status === Status.OK) return;
  throw new KovanError(status, textAt(m, m._kovan_status_message(status)), textAt(m, m._kovan_last_error(0)));
}

function copyOf(m, ArrayType, pointer, length) {
  if (pointer === 0 || length === 0) return new ArrayType(0);
  return new ArrayType(m.HEAPU8.buffer.slice(pointer, pointer + length * ArrayType.BYTES_PER_ELEMENT));
}

// A kovan_array_info record: name, tuples, components, derived.
function arrayInfoAt(m, record) {
  return {
    name: textAt(m, m.HEAPU32[record / 4]),
    components: m.HEAPU32[(record + 16) / 4],
    derived: m.HEAPU32[(record + 20) / 4] !== 0,
  };
}

function numberOrNull(v) {
  return Number.isNaN(v) ? null : v;
}

// A kovan_step_info record (88 bytes, then its two texts' pointers) as the
// step's keys of `kovan info --json`: null where the file states nothing.
function stepFactsAt(m, record) {
  const i64 = (offset) => Number(m.HEAP64[(record + offset) / 8]);
  const f64 = (offset) => m.HEAPF64[(record + offset) / 8];
  const flags = m.HEAPU32[(record + 84) / 4];
  const stated = (flag, value) => ((flags & flag) !== 0 ? value : null);
  const analysis = m.HEAP32[(record + 80) / 4];
  return {
    file_index: i64(72),
    set_number: stated(STEP_HAS.setNumber, i64(24)),
    data_set: stated(STEP_HAS.step, i64(32)),
    step: stated(STEP_HAS.step, i64(48)),
    increment: stated(STEP_HAS.step, i64(40)),
    analysis: analysis >= 0 ? analysis : null,
    analysis_text: textAt(m, m.HEAPU32[(record + 92) / 4]),
    mode: stated(STEP_HAS.mode, i64(56)),
    nodal_diameter: stated(STEP_HAS.nodalDiameter, i64(64)),
    generalised_mass: stated(STEP_HAS.generalisedMass, f64(8)),
    generalised_stiffness: stated(STEP_HAS.generalisedStiffness, f64(16)),
    value_text: textAt(m, m.HEAPU32[(record + 88) / 4]),
  };
}

// The options record of the open calls, at `record` (8 bytes).
function writeOptions(m, record, { wedgeOrder = 0, missingAsNaN = false, fileOrder = false }) {
  m.HEAPU32[record / 4] = wedgeOrder;
  m.HEAPU32[record / 4 + 1] = (missingAsNaN ? OPEN_MISSING_AS_NAN : 0) | (fileOrder ? OPEN_FILE_ORDER : 0);
}

// Per-component minimum and maximum of point-major values, NaN values left
// out (null where none is a number), as `kovan info` gives them.
export function ranges(values, components) {
  const min = new Array(components).fill(NaN);
  const max = new Array(components).fill(NaN);
  for (let p = 0; p < values.length; p += components) {
    for (let k = 0; k < components; ++k) {
      const v = values[p + k];
      if (Number.isNaN(v)) continue;
      if (Number.isNaN(min[k]) || v < min[k]) min[k] = v;
      if (Number.isNaN(max[k]) || v > max[k]) max[k] = v;
    }
  }
  return { min: min.map(numberOrNull), max: max.map(numberOrNull) };
}

// An open document; made by the API's open().
export class Document {
  constructor(m, handle) {
    this._m = m;
    this._handle = handle;
  }

  get _doc() {
    if (this._handle === 0) throw new KovanError(Status.ARG, 'the document is closed', '');
    return this._handle;
  }

  get nPoints() { return Number(this._m._kovan_n_points(this._doc)); }
  get nCells() { return Number(this._m._kovan_n_cells(this._doc)); }
  get nSteps() { return Number(this._m._kovan_n_steps(this._doc)); }
  get nDiagnostics() { return Number(this._m._kovan_n_diagnostics(this._doc)); }
  get stepsParsed() { return Number(this._m._kovan_steps_parsed(this._doc)); }

  // x y z of each point, in node id order.
  points() { return copyOf(this._m, Float64Array, this._m._kovan_points(this._doc), 3 * this.nPoints); }
  nodeIds() { return copyOf(this._m, BigInt64Array, this._m._kovan_node_ids(this._doc), this.nPoints); }
  cellTypes() { return copyOf(this._m, Uint8Array, this._m._kovan_cell_types(this._doc), this.nCells); }
  cellOffsets() { return copyOf(this._m, BigInt64Array, this._m._kovan_cell_offsets(this._doc), this.nCells + 1); }
  cellIds() { return copyOf(this._m, BigInt64Array, this._m._kovan_cell_ids(this._doc), this.nCells); }
  cellConnectivity() {
    const offsets = this.cellOffsets();
    const length = offsets.length > 0 ? Number(offsets[offsets.length - 1]) : 0;
    return copyOf(this._m, BigInt64Array, this._m._kovan_cell_connectivity(this._doc), length);
  }

  cellGroups() { return copyOf(this._m, Int32Array, this._m._kovan_cell_groups(this._doc), this.nCells); }
  cellMaterials() { return copyOf(this._m, Int32Array, this._m._kovan_cell_materials(this._doc), this.nCells); }

  // The materials the file names: [{ number, name }].
  materials() {
    const m = this._m;
    return withScratch(m, 16, (out) => Array.from({ length: Number(m._kovan_n_materials(this._doc)) }, (_, i) => {
      check(m, m._kovan_material_at(this._doc, BigInt(i), out, out + 8));
      return { number: Number(m.HEAP64[out / 8]), name: textAt(m, m.HEAPU32[(out + 8) / 4]) };
    }));
  }

  // The header records ("1U"), in file order: [{ key, value }].
  header() {
    const m = this._m;
    return withScratch(m, 8, (out) => Array.from({ length: Number(m._kovan_n_header_records(this._doc)) }, (_, i) => {
      check(m, m._kovan_header_record_at(this._doc, BigInt(i), out, out + 4));
      return { key: textAt(m, m.HEAPU32[out / 4]), value: textAt(m, m.HEAPU32[out / 4 + 1]) };
    }));
  }

  // What the file says of a step (analysis, set, step, increment, mode,
  // nodal diameter, ...), keyed as `kovan info --json` keys it.
  stepFacts(step) {
    const m = this._m;
    return withScratch(m, m.recordSizes.stepInfo, (record) => {
      check(m, m._kovan_step_info_at(this._doc, BigInt(step), record));
      return stepFactsAt(m, record);
    });
  }

  // The names of an array's components, as the file's "-5" lines give them.
  componentNames(step, index) {
    const m = this._m;
    const { components } = this.arrayInfo(step, index);
    return withScratch(m, 8, (out) => Array.from({ length: components }, (_, k) => {
      check(m, m._kovan_array_component_name(this._doc, BigInt(step), BigInt(index), k, out));
      return textAt(m, m.HEAPU32[out / 4]);
    }));
  }

  // The arrays a step will have, told without decoding it: name,
  // components (0 where the file states none), derived, componentNames.
  plannedArrays(step) {
    const m = this._m;
    const doc = this._doc;
    const count = this._count(m._kovan_n_planned_arrays, step);
    return withScratch(m, m.recordSizes.arrayInfo + 8, (record) => Array.from({ length: count }, (_, i) => {
      check(m, m._kovan_planned_array_at(doc, BigInt(step), BigInt(i), record));
      const array = arrayInfoAt(m, record);
      const name = record + m.recordSizes.arrayInfo;
      array.componentNames = Array.from({ length: array.components }, (__, k) => {
        check(m, m._kovan_planned_component_name(doc, BigInt(step), BigInt(i), k, name));
        return textAt(m, m.HEAPU32[name / 4]);
      });
      return array;
    }));
  }

  // How many points the file gives the array a value.
  pointsWithValues(step, index) {
    const m = this._m;
    return withScratch(m, 8, (out) => {
      check(m, m._kovan_array_points_with_values(this._doc, BigInt(step), BigInt(index), out));
      return Number(m.HEAP64[out / 8]);
    });
  }

  stepTime(step) {
    const m = this._m;
    return withScratch(m, 8, (out) => {
      check(m, m._kovan_step_time(this._doc, BigInt(step), out));
      return m.HEAPF64[out / 8];
    });
  }

  // The arrays of a step, decoding it on first use: name, components, derived.
  arrays(step) {
    const m = this._m;
    const doc = this._doc;
    const count = this._count(m._kovan_n_arrays, step);
    const size = m.recordSizes.arrayInfo;
    return withScratch(m, size * count, (records) => {
      check(m, m._kovan_array_info_range(doc, BigInt(step), 0n, BigInt(count), records));
      return Array.from({ length: count }, (_, i) => arrayInfoAt(m, records + size * i));
    });
  }

  arrayInfo(step, index) {
    const m = this._m;
    return withScratch(m, m.recordSizes.arrayInfo, (record) => {
      check(m, m._kovan_array_info_at(this._doc, BigInt(step), BigInt(index), record));
      return arrayInfoAt(m, record);
    });
  }

  // Index of the first array of the name in the step, or -1.
  findArray(step, name) {
    const m = this._m;
    const doc = this._doc;
    this.arrays(step);  // a step that does not decode throws rather than answering -1
    const bytes = new TextEncoder().encode(name);
    return Number(withScratch(m, bytes.length + 1, (pointer) => {
      m.HEAPU8.set(bytes, pointer);
      m.HEAPU8[pointer + bytes.length] = 0;
      return m._kovan_find_array(doc, BigInt(step), pointer);
    }));
  }

  // The values of an array (by index or name), point-major.
  arrayData(step, array) {
    const { values, components } = this._values(step, array);
    return copyOf(this._m, Float64Array, values, this.nPoints * components);
  }

  // Where an array's values lie in the module's memory (valid until it next
  // grows) and how many components it has.
  _values(step, array) {
    const m = this._m;
    const index = typeof array === 'number' ? array : this.findArray(step, array);
    if (index < 0) throw new KovanError(Status.RANGE, textAt(m, m._kovan_status_message(Status.RANGE)), `no array named ${array}`);
    const { components } = this.arrayInfo(step, index);
    return withScratch(m, 8, (out) => {
      check(m, m._kovan_array_data(this._doc, BigInt(step), BigInt(index), out));
      return { values: m.HEAPU32[out / 4], components };
    });
  }

  // How many of something a step has, by the export that counts them.
  _count(counter, step) {
    const m = this._m;
    return withScratch(m, 8, (out) => {
      check(m, counter(this._doc, BigInt(step), out));
      return Number(m.HEAP64[out / 8]);
    });
  }

  // A new document of what the source holds now: of a grown file only what
  // was appended is read, and the mesh is shared. This one stays valid.
  reopen() {
    const m = this._m;
    return withScratch(m, 8, (out) => {
      check(m, m._kovan_reopen(this._doc, out));
      return new Document(m, m.HEAPU32[out / 4]);
    });
  }

  // The values of one point of an array (one per component), without
  // copying the rest of it.
  pointValues(step, array, point) {
    const m = this._m;
    if (!(Number.isInteger(point) && point >= 0 && point < this.nPoints)) {
      throw new KovanError(Status.RANGE, textAt(m, m._kovan_status_message(Status.RANGE)), `point ${point} is not below ${this.nPoints}`);
    }
    const { values, components } = this._values(step, array);
    return copyOf(m, Float64Array, values + 8 * components * point, components);
  }

  diagnostics() {
    const m = this._m;
    const doc = this._doc;
    const list = [];
    withScratch(m, m.recordSizes.diagnostic, (out) => {
      for (let i = 0; i < this.nDiagnostics; ++i) {
        check(m, m._kovan_diagnostic_at(doc, BigInt(i), out));
        const kind = m.HEAP32[out / 4];
        list.push({
          kind,
          description: describeDiagnostic(m, kind),
          element_type: m.HEAP32[out / 4 + 1],
          line: Number(m.HEAP64[out / 8 + 1]),
          expected: Number(m.HEAP64[out / 8 + 2]),
          found: Number(m.HEAP64[out / 8 + 3]),
        });
      }
    });
    return list;
  }

  // What the mesh holds and the steps' times, without decoding any step.
  summary() {
    const m = this._m;
    const byType = new Map();
    for (const type of this.cellTypes()) byType.set(type, (byType.get(type) ?? 0) + 1);
    return {
      points: this.nPoints,
      cells: {
        total: this.nCells,
        by_type: [...byType.keys()].sort((a, b) => a - b)
          .map((type) => ({ count: byType.get(type), element: describeElement(m, type), vtk_type: type })),
      },
      steps: Array.from({ length: this.nSteps }, (_, index) => ({
        index, time: numberOrNull(this.stepTime(index)), ...this.stepFacts(index),
      })),
      diagnostics: this.diagnostics(),
    };
  }

  // One step as `kovan info --json` shows it: its arrays with their ranges,
  // or why it did not decode.
  stepInfo(step) {
    const info = {
      index: step, time: numberOrNull(this.stepTime(step)), decoded: true, error: null, ...this.stepFacts(step), arrays: [],
    };
    let arrays;
    try {
      arrays = this.arrays(step);
    } catch (error) {
      if (!(error instanceof KovanError)) throw error;
      return { ...info, decoded: false, error: error.message };
    }
    info.arrays = arrays.map((array, index) => ({
      name: array.name,
      components: array.components,
      derived: array.derived,
      ...ranges(this.arrayData(step, index), array.components),
      component_names: this.componentNames(step, index),
      points_with_values: this.pointsWithValues(step, index),
    }));
    return info;
  }

  // The object of `kovan info --json` but for the file's name, size and
  // block counts, which the library does not see. Decodes every step.
  info() {
    const summary = this.summary();
    return {
      ...summary,
      steps: summary.steps.map((step) => this.stepInfo(step.index)),
      materials: this.materials(),
      header: this.header(),
    };
  }

  // Lets a decoded step go (its arrays are freed in the module; what was
  // handed out are copies, and stay); the next query decodes it again.
  release(step) {
    check(this._m, this._m._kovan_release_step(this._doc, BigInt(step)));
  }

  close() {
    if (this._handle !== 0) this._m._kovan_close(this._handle);
    this._handle = 0;
  }
}

// The library's descriptions: "8-node hexahedron (CalculiX type 1)", "VTK
// type N" for a type it does not make; what a diagnostic kind means.
function describeElement(m, vtkType) {
  return textAt(m, m._kovan_cell_type_description(vtkType)) || `VTK type ${vtkType}`;
}

function describeDiagnostic(m, kind) {
  return textAt(m, m._kovan_diagnostic_description(kind));
}

// The record layouts this file reads are those of ABI version 3; their
// sizes, which the arrays of records step by, come from the library.
function checkAbi(m) {
  const version = m._kovan_abi_version();
  if (version !== ABI_VERSION) throw new Error(`the kovan module has ABI version ${version}; this file reads ${ABI_VERSION}`);
  m.recordSizes = {
    arrayInfo: Number(m._kovan_struct_size(STRUCT_ARRAY_INFO)),
    diagnostic: Number(m._kovan_struct_size(STRUCT_DIAGNOSTIC)),
    source: Number(m._kovan_struct_size(STRUCT_SOURCE)),
    stepInfo: Number(m._kovan_struct_size(STRUCT_STEP_INFO)),
  };
}

function makeApi(m) {
  checkAbi(m);
  return {
    abiVersion: m._kovan_abi_version(),

    describeElement: (vtkType) => describeElement(m, vtkType),
    describeDiagnostic: (kind) => describeDiagnostic(m, kind),

    // Makes room for opening a text of `size` bytes: the module's memory
    // grows once and its new pages are touched now, rather than one by one
    // while the text is copied in and parsed. Worth calling while the bytes
    // are still being read (the viewer does, with the file read on the
    // page's thread); the memory is the open's own afterwards.
    reserve(size) {
      const length = 2 * size + RESERVE_SLACK;
      const pointer = m._malloc(length);
      if (pointer === 0) return;  // open() will say so
      m.HEAPU8.fill(0, pointer, pointer + length);
      m._free(pointer);
    },

    // Opens an FRD text (ASCII or binary) held in a Uint8Array. Options:
    // wedgeOrder 1 turns wedges to VTK's orientation; missingAsNaN makes
    // the points a block gives no value NaN instead of 0; fileOrder keeps
    // the steps in the order the file names them instead of by time.
    open(bytes, options = {}) {
      return withBytes(m, bytes, (data) => withScratch(m, 16, (scratch) => {
        writeOptions(m, scratch, options);
        const out = scratch + 8;
        check(m, m._kovan_open_memory(data, BigInt(bytes.length), scratch, out));
        return new Document(m, m.HEAPU32[out / 4]);
      }));
    },

    // Opens an FRD text that the caller reads piece by piece: `source` has
    // `size()` (its bytes now) and `readAt(offset, length)` (a Uint8Array of
    // the bytes there, shorter only at the end), both synchronous; in a
    // worker, a browser File is read with FileReaderSync and Blob.slice
    // (fileSource below), so the file is never held whole, and files larger
    // than the module's memory open. The document keeps reading through it
    // whenever a step is decoded, until it is closed.
    openSource(source, options = {}) {
      const functions = callerFunctions(m, source);
      return withScratch(m, m.recordSizes.source + 16, (record) => {
        const words = record / 4;
        [functions.readAt, functions.size, functions.release, 0].forEach((value, i) => { m.HEAPU32[words + i] = value; });
        const optionsRecord = record + m.recordSizes.source;
        writeOptions(m, optionsRecord, options);
        const out = optionsRecord + 8;
        check(m, m._kovan_open_source(record, optionsRecord, out));
        return new Document(m, m.HEAPU32[out / 4]);
      });
    },

    // The document re-encoded in another format (a name of Format), as bytes.
    convert(bytes, format) {
      if (!(format in Format)) throw new KovanError(Status.ARG, textAt(m, m._kovan_status_message(Status.ARG)), `unknown format ${format}`);
      return withBytes(m, bytes, (data) => withScratch(m, 16, (scratch) => {
        const out = scratch;
        const outSize = scratch + 8;
        check(m, m._kovan_rewrite_memory(data, BigInt(bytes.length), Format[format], out, outSize));
        const buffer = m.HEAPU32[out / 4];
        try {
          return copyOf(m, Uint8Array, buffer, Number(m.HEAP64[outSize / 8]));
        } finally {
          m._kovan_free(buffer);
        }
      }));
    },
  };
}

// A caller's source as the module's functions: read_at, size and release
// (which lets the three go once kovan is done with them).
function callerFunctions(m, source) {
  const functions = {};
  functions.readAt = m.addFunction((context, offset, buffer, count) => {
    try {
      const bytes = source.readAt(Number(offset), Number(count));
      if (bytes.length > Number(count)) return -1n;
      m.HEAPU8.set(bytes, buffer);  // the heap as it is now: reading may have grown it
      return BigInt(bytes.length);
    } catch {
      return -1n;
    }
  }, 'jijij');
  functions.size = m.addFunction(() => BigInt(source.size()), 'ji');
  functions.release = m.addFunction(() => {
    for (const name of ['readAt', 'size', 'release']) m.removeFunction(functions[name]);
  }, 'vi');
  return functions;
}

// A browser File (or any Blob) as a source, read piece by piece with
// FileReaderSync, which only workers have. A read from a Blob costs far
// more than its bytes (Chromium reads 4 MB pieces at half the speed of
// 64 MB ones), so reads are served from slabs read ahead: twice the last
// slab for each read that continues the one before, up to 64 MB; 64 kB for
// a read somewhere new. The last 128 small slabs are kept: kovan looks at
// the same few bytes of each block again (whether a file changed) each time
// a document of a growing file is reopened.
const SLAB_BYTES = 64 << 20;
const SMALL_SLAB_BYTES = 64 << 10;
const SMALL_SLABS_KEPT = 128;

export function fileSource(file) {
  const reader = new FileReaderSync();
  let slab = { at: 0, bytes: new Uint8Array(0) };
  const small = [];  // { at, bytes }, the latest last
  let lastEnd = -1;
  const read = (offset, length) => ({ at: offset, bytes: new Uint8Array(reader.readAsArrayBuffer(file.slice(offset, offset + length))) });
  const holds = (s, offset, end) => offset >= s.at && end <= s.at + s.bytes.length;
  return {
    size: () => file.size,
    readAt(offset, length) {
      const end = Math.min(offset + length, file.size);
      const continues = offset === lastEnd;
      lastEnd = end;
      let from = holds(slab, offset, end) ? slab : small.find((s) => holds(s, offset, end));
      if (!from && continues) {
        from = slab = read(offset, Math.max(length, Math.min(SLAB_BYTES, 2 * slab.bytes.length)));
      } else if (!from) {
        from = read(offset, Math.max(length, SMALL_SLAB_BYTES));
        if (from.bytes.length <= SMALL_SLAB_BYTES) {
          small.push(from);
          if (small.length > SMALL_SLABS_KEPT) small.shift();
        } else {
          slab = from;
        }
      }
      return from.bytes.subarray(offset - from.at, end - from.at);
    },
  };
}

let loaded = null;

// Starts the module (once) and resolves to the API. `options` go to the
// module's factory the first time (emscripten's, such as locateFile or
// print); later calls share the first module.
export function load(options = {}) {
  loaded ??= createKovanModule(options).then(makeApi);
  return loaded;
}

// Awaiting the default export loads the module: existing pages that
// `await kovanReady` keep working, and importing starts nothing.
export default { then: (resolve, reject) => load().then(resolve, reject) };
