// The colour maps, low values first: as CSS gradients for the legend and
// as textures for the drawing. Stops are sRGB.
const hex = (text) => [1, 3, 5].map((at) => parseInt(text.slice(at, at + 2), 16) / 255);

export const COLOUR_MAPS = {
  rainbow: ['#0000ff', '#00ffff', '#00ff00', '#ffff00', '#ff0000'],
  // matplotlib's viridis, perceptually uniform, at eleven points.
  viridis: ['#440154', '#482475', '#414487', '#355f8d', '#2a788e', '#21918c', '#22a884', '#44bf70', '#7ad151', '#bddf26', '#fde725'],
  // Moreland's diverging map, which reads in print and for colour-blind viewers.
  'cool to warm': ['#3b4cc0', '#dddddd', '#b40426'],
};
export const NAN_CSS = '#808080';
const NAN_COLOUR = hex(NAN_CSS);

// The map's sRGB colour at t in 0..1.
export function colourOf(name, t) {
  const stops = COLOUR_MAPS[name].map(hex);
  const x = Math.min(1, Math.max(0, t)) * (stops.length - 1);
  const below = Math.min(Math.floor(x), stops.length - 2);
  const f = x - below;
  return [0, 1, 2].map((k) => stops[below][k] + f * (stops[below + 1][k] - stops[below][k]));
}

export function gradientCss(name, direction = 'to top') {
  const stops = COLOUR_MAPS[name];
  return `linear-gradient(${direction}, ${stops.map((c, i) => `${c} ${(100 * i) / (stops.length - 1)}%`).join(', ')})`;
}

// The map as a texture of two rows, sRGB, RGBA: the map from low to high,
// then grey for points without a value. The drawing looks colours up per
// pixel from the value interpolated between points, so that between a blue
// and a red point lie the map's own colours, not a blend of the two.
export const TEXELS = 256;

export function mapTexels(name) {
  const texels = new Uint8Array(4 * TEXELS * 2);
  for (let i = 0; i < TEXELS; ++i) {
    texels.set([...colourOf(name, i / (TEXELS - 1)).map((c) => Math.round(255 * c)), 255], 4 * i);
    texels.set([...NAN_COLOUR.map((c) => Math.round(255 * c)), 255], 4 * (TEXELS + i));
  }
  return texels;
}

// Texture coordinates (u v per value) of the values over min .. max: u
// along the map, v in its row (the second for a value that is no number).
export function fillTextureCoordinates(values, min, max, out) {
  const span = max > min ? max - min : 1;
  for (let i = 0; i < values.length; ++i) {
    const t = (values[i] - min) / span;
    const missing = min === null || Number.isNaN(t);
    const x = missing ? 0.5 : Math.min(1, Math.max(0, t));
    out[2 * i] = (0.5 + x * (TEXELS - 1)) / TEXELS;
    out[2 * i + 1] = missing ? 0.75 : 0.25;
  }
}
