// Finds the outer surface of a mesh for the page, on a thread of its own,
// while the page's other worker decodes the step to show.
import { lowWords, outerSurface } from './surface.js';

self.onmessage = ({ data: { order, types, offsets, connectivity } }) => {
  const started = performance.now();
  const surface = outerSurface(types, lowWords(offsets), lowWords(connectivity));
  self.postMessage({ order, ...surface, milliseconds: performance.now() - started },
    [surface.triangles.buffer, surface.segments.buffer, surface.edges.buffer]);
};
