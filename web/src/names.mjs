// The tool's way of showing bytes that are not UTF-8, so that the module's
// texts read as the tool's.

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
