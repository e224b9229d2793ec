// The texts `kovan info` shows for cell types and diagnostics, and its way
// of showing bytes that are not UTF-8, so that the module's summary reads as
// the tool's.

const ELEMENTS = new Map([
  [3, '2-node beam (CalculiX type 11)'],
  [5, '3-node triangle (CalculiX type 7)'],
  [9, '4-node quadrilateral (CalculiX type 9)'],
  [10, '4-node tetrahedron (CalculiX type 3)'],
  [12, '8-node hexahedron (CalculiX type 1)'],
  [13, '6-node wedge (CalculiX type 2)'],
  [14, '5-node pyramid (CalculiX type 15)'],
  [21, '3-node beam (CalculiX type 12)'],
  [22, '6-node triangle (CalculiX type 8)'],
  [23, '8-node quadrilateral (CalculiX type 10)'],
  [24, '10-node tetrahedron (CalculiX type 6)'],
  [25, '20-node hexahedron (CalculiX type 4)'],
  [26, '15-node wedge (CalculiX type 5)'],
  [27, '13-node pyramid (CalculiX type 16)'],
]);

const DIAGNOSTICS = [
  'element with surplus node numbers, kept with the first ones',
  'element with too few node numbers, dropped',
  'element of an unknown type, dropped',
  'block cut off by the end of the file, which may still be being written',
];

export function describeElement(vtkType) {
  return ELEMENTS.get(vtkType) ?? `VTK type ${vtkType}`;
}

export function describeDiagnostic(kind) {
  return DIAGNOSTICS[kind] ?? DIAGNOSTICS[2];
}

const strict = new TextDecoder('utf-8', { fatal: true });
const lenient = new TextDecoder('utf-8');

// UTF-8 text as it is; otherwise each byte outside a well-formed sequence
// as \xNN and each backslash doubled, so that the two cannot be confused.
export function escapedText(bytes) {
  try {
    return strict.decode(bytes);
  } catch {
    let text = '';
    for (let at = 0; at < bytes.length;) {
      const length = sequenceLength(bytes, at);
      if (length === 0) {
        text += `\\x${bytes[at].toString(16).toUpperCase().padStart(2, '0')}`;
        at += 1;
      } else {
        const piece = lenient.decode(bytes.subarray(at, at + length));
        text += piece === '\\' ? '\\\\' : piece;
        at += length;
      }
    }
    return text;
  }
}

// Length of the well-formed UTF-8 sequence at `at`, or 0.
function sequenceLength(bytes, at) {
  const lead = bytes[at];
  if (lead < 0x80) return 1;
  const length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
  if (length === 0 || lead > 0xf4 || at + length > bytes.length) return 0;
  for (let i = 1; i < length; ++i) if ((bytes[at + i] & 0xc0) !== 0x80) return 0;
  const second = bytes[at + 1];
  if ((lead === 0xe0 && second < 0xa0) || (lead === 0xed && second > 0x9f) ||
      (lead === 0xf0 && second < 0x90) || (lead === 0xf4 && second > 0x8f)) return 0;
  return length;
}
