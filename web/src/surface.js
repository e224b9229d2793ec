// The outer surface of a VTK-style mesh, for drawing: the faces of volume
// cells that no other cell shares, the surface cells themselves, and the
// line cells, as triangles and segments over the mesh's point indices, and
// the element edges that lie on the surface. Quadratic cells are drawn by
// their corners, so their edges are the lines between corners.

const TET = [[0, 2, 1], [0, 1, 3], [1, 2, 3], [2, 0, 3]];
const HEX = [[0, 3, 2, 1], [4, 5, 6, 7], [0, 1, 5, 4], [1, 2, 6, 5], [2, 3, 7, 6], [3, 0, 4, 7]];
const WEDGE = [[0, 1, 2], [3, 5, 4], [0, 3, 4, 1], [1, 4, 5, 2], [2, 5, 3, 0]];
const PYRAMID = [[0, 3, 2, 1], [0, 1, 4], [1, 2, 4], [2, 3, 4], [3, 0, 4]];

// VTK cell type -> faces of a volume cell by local corner numbers.
const VOLUME_FACES = new Map([[10, TET], [24, TET], [12, HEX], [25, HEX], [13, WEDGE], [26, WEDGE], [14, PYRAMID], [27, PYRAMID]]);
// VTK cell type -> corners of a surface cell, or the ends of a line cell.
const SURFACE_CORNERS = new Map([[5, 3], [22, 3], [9, 4], [23, 4]]);
const LINE_TYPES = new Set([3, 21]);

// The empty slots of an open-addressing hash table for `expected` entries
// (a power of two, at most half full), and the mask that wraps a hash.
function emptySlots(expected) {
  let size = 16;
  while (size < 2 * expected) size *= 2;
  return { mask: size - 1, slots: new Int32Array(size).fill(-1) };
}

// Faces are kept in a hash table keyed by their sorted corners: a face seen
// twice lies between two cells and is dropped.
class FaceTable {
  constructor(expected) {
    Object.assign(this, emptySlots(expected));
    this.sorted = new Int32Array(4 * expected);  // sorted corners, -1 for the fourth of a triangle
    this.corners = new Int32Array(4 * expected);  // corners in the cell's order
    this.seen = new Uint8Array(expected);
    this.count = 0;
  }

  add(c0, c1, c2, c3) {
    const key = sortFour(c0, c1, c2, c3);
    let slot = hashFour(key) & this.mask;
    for (;;) {
      const face = this.slots[slot];
      if (face < 0) break;
      if (sameFour(this.sorted, 4 * face, key)) {
        this.seen[face] += 1;
        return;
      }
      slot = (slot + 1) & this.mask;
    }
    const face = this.count++;
    this.slots[slot] = face;
    this.sorted.set(key, 4 * face);
    this.corners[4 * face] = c0;
    this.corners[4 * face + 1] = c1;
    this.corners[4 * face + 2] = c2;
    this.corners[4 * face + 3] = c3;
    this.seen[face] = 1;
  }
}

const scratchKey = new Int32Array(4);
// The four corners in ascending order (a sorting network; -1, a triangle's
// missing corner, comes first).
function sortFour(a, b, c, d) {
  let t;
  if (a > b) { t = a; a = b; b = t; }
  if (c > d) { t = c; c = d; d = t; }
  if (a > c) { t = a; a = c; c = t; }
  if (b > d) { t = b; b = d; d = t; }
  if (b > c) { t = b; b = c; c = t; }
  scratchKey[0] = a; scratchKey[1] = b; scratchKey[2] = c; scratchKey[3] = d;
  return scratchKey;
}

function hashFour(key) {
  let h = 0x811c9dc5;
  for (let i = 0; i < 4; ++i) h = Math.imul(h ^ key[i], 0x01000193);
  return (h ^ (h >>> 15)) >>> 0;
}

function sameFour(table, at, key) {
  return table[at] === key[0] && table[at + 1] === key[1] && table[at + 2] === key[2] && table[at + 3] === key[3];
}

// The low 32 bits of each 64-bit connectivity entry: point indices of a
// mesh that fits in WebAssembly's memory are far below 2^31.
export function lowWords(int64Values) {
  const words = new Int32Array(int64Values.buffer, int64Values.byteOffset, 2 * int64Values.length);
  const low = new Int32Array(int64Values.length);
  for (let i = 0; i < low.length; ++i) low[i] = words[2 * i];
  return low;
}

// types: Uint8Array; offsets, connectivity: Int32Array of point indices.
// Returns { triangles, segments, edges }: Uint32Arrays of point indices,
// three per triangle, two per segment or edge.
export function outerSurface(types, offsets, connectivity) {
  let expectedFaces = 0;
  for (let c = 0; c < types.length; ++c) {
    expectedFaces += VOLUME_FACES.get(types[c])?.length ?? (SURFACE_CORNERS.has(types[c]) ? 1 : 0);
  }
  const table = new FaceTable(Math.max(expectedFaces, 1));
  const segments = [];
  for (let c = 0; c < types.length; ++c) {
    const first = offsets[c];
    const type = types[c];
    const faces = VOLUME_FACES.get(type);
    if (faces !== undefined) {
      for (const face of faces) {
        table.add(connectivity[first + face[0]], connectivity[first + face[1]], connectivity[first + face[2]],
          face.length === 4 ? connectivity[first + face[3]] : -1);
      }
    } else if (SURFACE_CORNERS.has(type)) {
      const n = SURFACE_CORNERS.get(type);
      table.add(connectivity[first], connectivity[first + 1], connectivity[first + 2], n === 4 ? connectivity[first + 3] : -1);
    } else if (LINE_TYPES.has(type)) {
      segments.push(connectivity[first], connectivity[first + 1]);
    }
  }
  return { triangles: trianglesOf(table), segments: Uint32Array.from(segments), edges: edgesOf(table) };
}

// Each side of each outer face once (a side two faces share, once): the
// element edges on the surface, without the diagonals that split a
// quadrilateral into triangles.
function edgesOf(table) {
  let outer = 0;
  for (let face = 0; face < table.count; ++face) outer += table.seen[face] === 1 ? 1 : 0;
  const sides = new EdgeSet(4 * outer);
  for (let face = 0; face < table.count; ++face) {
    if (table.seen[face] !== 1) continue;
    const f = 4 * face;
    const corners = table.corners[f + 3] >= 0 ? 4 : 3;
    for (let k = 0; k < corners; ++k) sides.add(table.corners[f + k], table.corners[f + ((k + 1) % corners)]);
  }
  return sides.pairs.slice(0, 2 * sides.count);
}

class EdgeSet {
  constructor(expected) {
    Object.assign(this, emptySlots(expected));
    this.pairs = new Uint32Array(2 * expected);
    this.count = 0;
  }

  add(a, b) {
    const lo = Math.min(a, b);
    const hi = Math.max(a, b);
    let slot = (Math.imul(lo, 0x9e3779b1) ^ Math.imul(hi, 0x85ebca6b)) & this.mask;
    for (;;) {
      const edge = this.slots[slot];
      if (edge < 0) break;
      if (this.pairs[2 * edge] === lo && this.pairs[2 * edge + 1] === hi) return;
      slot = (slot + 1) & this.mask;
    }
    this.slots[slot] = this.count;
    this.pairs[2 * this.count] = lo;
    this.pairs[2 * this.count + 1] = hi;
    this.count += 1;
  }
}

function trianglesOf(table) {
  let count = 0;
  for (let face = 0; face < table.count; ++face) {
    if (table.seen[face] === 1) count += table.corners[4 * face + 3] >= 0 ? 6 : 3;
  }
  const triangles = new Uint32Array(count);
  let at = 0;
  for (let face = 0; face < table.count; ++face) {
    if (table.seen[face] !== 1) continue;
    const c = table.corners;
    const f = 4 * face;
    triangles[at++] = c[f]; triangles[at++] = c[f + 1]; triangles[at++] = c[f + 2];
    if (c[f + 3] >= 0) {
      triangles[at++] = c[f]; triangles[at++] = c[f + 2]; triangles[at++] = c[f + 3];
    }
  }
  return triangles;
}
