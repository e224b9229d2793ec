// Declarations of dist/kovan.mjs: CalculiX FRD result files read, decoded
// and re-encoded by kovan's WebAssembly module.

export declare const Status: Readonly<{
  OK: 0; IO: 1; PARSE: 2; RANGE: 3; NOMEM: 4; ARG: 5; COMPONENTS: 6; INTERNAL: 7;
}>;

/** The encodings a file can be re-encoded in ('keep': as the file has them). */
export declare const Format: Readonly<{
  'keep': -1; 'ascii-short': 0; 'ascii-long': 1; 'binary-float': 2; 'binary-double': 3;
}>;
export type FormatName = keyof typeof Format;

/** A failure of the library: its status, the status's text and what failed. */
export declare class KovanError extends Error {
  readonly status: number;
  readonly statusMessage: string;
  readonly detail: string;
}

export interface OpenOptions {
  /** 1 turns wedges to VTK's orientation. */
  wedgeOrder?: number;
  /** Points a block gives no value are NaN instead of 0. */
  missingAsNaN?: boolean;
  /** Steps in the order the file names them instead of by time. */
  fileOrder?: boolean;
}

/** Bytes read on demand: in a worker, fileSource(file) makes one of a File. */
export interface Source {
  size(): number;
  /** The bytes at offset (fewer only at the end), synchronously. */
  readAt(offset: number, length: number): Uint8Array;
}

export interface ArrayInfo {
  name: string;
  /** 0 for a planned array whose block states none. */
  components: number;
  derived: boolean;
}

export interface PlannedArray extends ArrayInfo {
  componentNames: string[];
}

/** What the file says of a step, keyed as `kovan info --json` keys it. */
export interface StepFacts {
  set_number: number | null;
  data_set: number | null;
  step: number | null;
  increment: number | null;
  analysis: number;
  analysis_text: string;
  mode: number | null;
  nodal_diameter: number | null;
  generalised_mass: number | null;
  generalised_stiffness: number | null;
  value_text: string;
  file_index: number;
  [key: string]: unknown;
}

export interface Diagnostic {
  kind: number;
  description: string;
  element_type: number;
  line: number;
  expected: number;
  found: number;
  [key: string]: unknown;
}

export interface Summary {
  points: number;
  cells: { total: number; by_type: { count: number; element: string; vtk_type: number }[] };
  steps: (StepFacts & { index: number; time: number | null })[];
  diagnostics: Diagnostic[];
}

export interface StepInfo extends StepFacts {
  index: number;
  time: number | null;
  decoded: boolean;
  error: string | null;
  arrays: (ArrayInfo & {
    min: (number | null)[]; max: (number | null)[];
    component_names: string[]; points_with_values: number;
  })[];
}

/** An open document. What it hands out are copies. */
export declare class Document {
  private constructor();
  readonly nPoints: number;
  readonly nCells: number;
  readonly nSteps: number;
  readonly nDiagnostics: number;
  readonly stepsParsed: number;
  /** x y z per point, in node number order. */
  points(): Float64Array;
  nodeIds(): BigInt64Array;
  /** VTK cell types. */
  cellTypes(): Uint8Array;
  cellOffsets(): BigInt64Array;
  cellConnectivity(): BigInt64Array;
  cellIds(): BigInt64Array;
  cellGroups(): Int32Array;
  cellMaterials(): Int32Array;
  materials(): { number: number; name: string }[];
  header(): { key: string; value: string }[];
  stepFacts(step: number): StepFacts;
  stepTime(step: number): number;
  /** The step's arrays, decoding it on first use. */
  arrays(step: number): ArrayInfo[];
  arrayInfo(step: number, index: number): ArrayInfo;
  /** The index of the array named so, or -1. */
  findArray(step: number, name: string): number;
  /** Point-major values (components per point). */
  arrayData(step: number, array: number | string): Float64Array;
  /** One point's values, one per component. */
  pointValues(step: number, array: number | string, point: number): Float64Array;
  componentNames(step: number, index: number): string[];
  pointsWithValues(step: number, index: number): number;
  /** A step's arrays without decoding it. */
  plannedArrays(step: number): PlannedArray[];
  diagnostics(): Diagnostic[];
  /** The mesh, steps and diagnostics, no step decoded. */
  summary(): Summary;
  stepInfo(step: number): StepInfo;
  /** The object of `kovan info --json` but file, size and blocks; decodes every step. */
  info(): Summary & { steps: StepInfo[]; materials: { number: number; name: string }[]; header: { key: string; value: string }[] };
  /** A new document of what the source holds now (of a grown file, only the new bytes are read). */
  reopen(): Document;
  /** Lets a decoded step go in the module's memory. */
  release(step: number): void;
  close(): void;
}

export interface Kovan {
  readonly abiVersion: number;
  describeElement(vtkType: number): string;
  describeDiagnostic(kind: number): string;
  /** Makes room in the module's memory for opening a text of `size` bytes. */
  reserve(size: number): void;
  /** Opens an FRD text (ASCII or binary) held in memory. */
  open(bytes: Uint8Array, options?: OpenOptions): Document;
  /** Opens an FRD text read piece by piece through `source`. */
  openSource(source: Source, options?: OpenOptions): Document;
  /** The text re-encoded. */
  convert(bytes: Uint8Array, format: FormatName): Uint8Array;
}

/** Starts the module once (options go to emscripten's factory) and resolves to the API. */
export declare function load(options?: Record<string, unknown>): Promise<Kovan>;
/** A browser File (or Blob) as a Source, read with FileReaderSync (workers only). */
export declare function fileSource(file: Blob): Source;
/** Per-component minimum and maximum of point-major values, NaN left out. */
export declare function ranges(values: ArrayLike<number>, components: number): { min: (number | null)[]; max: (number | null)[] };

/** Awaiting it loads the module: `const kovan = await kovanReady`. */
declare const kovanReady: PromiseLike<Kovan>;
export default kovanReady;
