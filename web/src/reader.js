// Reads a file ahead of the page's worker, on a thread of its own so that
// reading goes on while the worker parses: piece after piece (`first`
// bytes, then twice the last up to `largest`), each handed over
// (transferred) as it arrives, never more than two pieces ahead of what
// the worker has taken.
const AHEAD = 2;

let taken = 0;
let wake = null;

self.onmessage = ({ data }) => {
  if (data.type === 'taken') {
    taken += 1;
    wake?.();
  } else {
    readAhead(data.file, data.first, data.largest).catch((error) => self.postMessage({ type: 'failed', message: error.message ?? String(error) }));
  }
};

async function readAhead(file, first, largest) {
  let sent = 0;
  let piece = first;
  for (let at = 0; at < file.size; at += piece, piece = Math.min(2 * piece, largest)) {
    while (sent - taken >= AHEAD) await new Promise((resolve) => { wake = resolve; });
    const bytes = await file.slice(at, at + piece).arrayBuffer();
    self.postMessage({ type: 'piece', at, bytes }, [bytes]);
    sent += 1;
  }
  self.postMessage({ type: 'end' });
}
