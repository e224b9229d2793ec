// The colour map: blue through white to red (a diverging map that reads in
// print and for colour-blind viewers), as a CSS gradient and per value.
const STOPS = [
  [0.0, [0.23, 0.30, 0.75]],
  [0.5, [0.87, 0.87, 0.87]],
  [1.0, [0.71, 0.02, 0.15]],
];
const NAN_COLOUR = [0.5, 0.5, 0.5];

export function colourOf(t) {
  if (Number.isNaN(t)) return NAN_COLOUR;
  const x = Math.min(1, Math.max(0, t));
  const upper = x <= STOPS[1][0] ? 1 : 2;
  const [t0, c0] = STOPS[upper - 1];
  const [t1, c1] = STOPS[upper];
  const f = (x - t0) / (t1 - t0);
  return [0, 1, 2].map((k) => c0[k] + f * (c1[k] - c0[k]));
}

export const gradientCss = `linear-gradient(to right, ${STOPS.map(([t, c]) =>
  `rgb(${c.map((v) => Math.round(255 * v)).join(',')}) ${100 * t}%`).join(', ')})`;

const LUT_SIZE = 256;
const LUT = new Float32Array(3 * LUT_SIZE);
for (let i = 0; i < LUT_SIZE; ++i) LUT.set(colourOf(i / (LUT_SIZE - 1)), 3 * i);

// Colours of the values into `out` (r g b per value), over min .. max.
export function fillColours(values, min, max, out) {
  const span = max > min ? max - min : 1;
  for (let i = 0; i < values.length; ++i) {
    const t = (values[i] - min) / span;
    if (min === null || Number.isNaN(t)) {
      out.set(NAN_COLOUR, 3 * i);
      continue;
    }
    const at = 3 * Math.round((LUT_SIZE - 1) * Math.min(1, Math.max(0, t)));
    out[3 * i] = LUT[at];
    out[3 * i + 1] = LUT[at + 1];
    out[3 * i + 2] = LUT[at + 2];
  }
}
