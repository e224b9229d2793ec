// The viewer page: the mesh in 3D coloured by an array of a step, the
// summary and diagnostics, picking, animation, a section, and conversion
// as a download. This thread draws and handles the controls; the worker
// reads the file, decodes and answers what a node holds.
import { gradientCss, NAN_CSS } from './colors.js';
import { createView, STANDARD_VIEWS } from './view.js';

const $ = (id) => document.getElementById(id);
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
const surfaceWorker = new Worker(new URL('./surface_worker.js', import.meta.url), { type: 'module' });

// The diagnostic kind of a text in which no line is an FRD line.
const NOT_FRD = 4;
const LEGEND_TICKS = 7;
// ?pieces=N reads files in pieces of N bytes (for tests of reading a file
// that arrives in many pieces); otherwise the worker's own sizes.
const piecesAsked = (() => {
  const bytes = Number(new URLSearchParams(window.location.search).get('pieces'));
  return bytes > 0 ? { first: bytes, largest: bytes, hold: 4 * bytes } : undefined;
})();

const state = {
  summary: null, fileName: '', openedAt: 0, shownOnce: false, stepArrays: new Map(),
  opened: 0, mesh: null, meshDrawn: false, afterMesh: null,
  modelSize: 0, largestDisplacement: 0, scaleIsAutomatic: true, playing: null, shownStep: -1, pickedPoint: -1,
};
const view = createView($('view'));
$('legend-nan').querySelector('.swatch').style.background = NAN_CSS;
setColourMap($('colour-map').value);

// ---- files in ----

$('file').addEventListener('change', () => {
  if ($('file').files.length > 0) openFile($('file').files[0]);
  $('file').value = '';  // choosing the same file again (rewritten by the solver) reads it again
});
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  if (event.dataTransfer.files.length > 0) openFile(event.dataTransfer.files[0]);
});

function openFile(file) {
  stopPlaying();
  state.openedAt = performance.now();
  state.shownOnce = false;
  state.fileName = file.name;
  state.stepArrays.clear();
  state.scaleIsAutomatic = true;  // a new file starts from the automatic scale
  $('scale-percent').value = '5';
  delete document.body.dataset.shownMs;
  $('controls').disabled = true;
  setStatus(`reading ${file.name} (${(file.size / 1e6).toFixed(1)} MB)`);
  worker.postMessage({ type: 'open', file, pieces: piecesAsked });
}

// ---- the worker's answers ----

worker.onmessage = ({ data }) => {
  ({ progress: showProgress, opened, shown, picked, converted, error: failed })[data.type](data);
};

function showProgress({ stage, fraction }) {
  setStatus(`${stage}…`);
  $('progress').hidden = fraction === null;
  if (fraction !== null) $('progress').value = fraction;
}

// The summary and the controls at once; the mesh is drawn once its outer
// surface is found (on a thread of its own, while the worker decodes the
// step to show).
function opened({ summary, mesh, cells, timings }) {
  state.opened += 1;
  state.summary = summary;
  state.timings = timings;
  state.mesh = mesh;
  state.meshDrawn = false;
  state.afterMesh = null;
  state.modelSize = mesh.size;
  state.shownStep = -1;
  surfaceWorker.postMessage({ order: state.opened, ...cells }, [cells.types.buffer, cells.offsets.buffer, cells.connectivity.buffer]);
  const last = Math.max(0, summary.steps.length - 1);
  $('step').max = String(last);
  $('step').value = String(last);
  $('array').replaceChildren();  // the new file's first array, shown by default
  $('component').replaceChildren();
  $('controls').disabled = false;
  $('play').disabled = summary.steps.length < 2;
  showSummary();
  showDiagnostics(summary.diagnostics);
  if (summary.diagnostics.some((d) => d.kind === NOT_FRD)) {
    afterMesh(() => finishShowing('not an FRD file', true));
  } else if (summary.steps.length === 0) {
    afterMesh(() => {
      setLegend(null);
      finishShowing('no steps: the mesh alone');
    });
  } else {
    request();
  }
}

surfaceWorker.onmessage = ({ data: surface }) => {
  if (surface.order !== state.opened) return;  // of a file opened before
  const started = performance.now();
  view.setMesh({ ...state.mesh, ...surface });
  unpick();
  Object.assign(state.timings, { surface: surface.milliseconds, drawMesh: performance.now() - started });
  state.meshDrawn = true;
  const action = state.afterMesh;
  state.afterMesh = null;
  action?.();
};

function afterMesh(action) {
  if (state.meshDrawn) action();
  else state.afterMesh = action;
}

function shown(reply) {
  if (!state.meshDrawn) {
    afterMesh(() => shown(reply));
    return;
  }
  if (!state.shownOnce) Object.assign(state.timings ?? {}, reply.timings, { drawStart: performance.now() });
  state.stepArrays.set(reply.step, reply.arrays);
  state.shownStep = reply.step;
  fillArrayChoices(reply);
  $('deform').disabled = !reply.canDeform;
  state.largestDisplacement = reply.largestDisplacement ?? 0;
  if (reply.error) {
    view.setField(null);
    setLegend(null);
    finishShowing(`step ${reply.step} could not be decoded: ${reply.error}`, true);
  } else {
    view.setField(reply.values ?? null, reply.min, reply.max);
    view.setDisplacement(reply.displacement ?? null, currentScale());
    setLegend(reply.values ? reply : null);
    finishShowing(reply.array ? `step ${reply.step}: ${reply.array}` : `step ${reply.step} has no arrays`);
  }
  showScale();
  showSummary();
  if (state.pickedPoint >= 0) worker.postMessage({ type: 'pick', step: reply.step, point: state.pickedPoint });
  if (state.playing) state.playing.next();
}

function converted({ format, bytes }) {
  const name = state.fileName.replace(/(\.frd)?$/i, `.${format}.frd`);
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  setStatus(`saved ${name} (${bytes.length} bytes)`);
}

function failed({ request: what, message }) {
  stopPlaying();
  $('progress').hidden = true;
  setStatus(`${what === 'open' ? 'could not open the file' : `could not ${what}`}: ${message}`, true);
  if (what === 'open') $('controls').disabled = true;
}

// ---- steps, arrays and components ----

// Asks for the chosen step, array and component; 'default' lets the worker
// pick the component for an array just chosen.
function request(component = $('component').value) {
  const step = Number($('step').value);
  $('step-label').textContent = stepLabel(step);
  const asked = component === '' ? 'default' : component;  // '': nothing chosen yet
  worker.postMessage({ type: 'show', step, array: $('array').value, component: asked === 'magnitude' || asked === 'default' ? asked : Number(asked), deform: $('deform').checked });
}

$('step').addEventListener('input', () => {
  $('step-label').textContent = stepLabel(Number($('step').value));
});
for (const id of ['step', 'component', 'deform']) $(id).addEventListener('change', () => request());
$('array').addEventListener('change', () => request('default'));
$('save').addEventListener('click', () => worker.postMessage({ type: 'convert', format: $('format').value }));

// Steps are numbered from 0, as `kovan info` and ParaView number them.
function stepLabel(step) {
  const count = state.summary?.steps.length ?? 0;
  return `step ${step} (0 to ${count - 1}), ${stepValueText(state.summary?.steps[step])}`;
}

// A step's value as the file writes it, named by its analysis ("frequency
// 28542.44136"), with its mode and its nodal diameter where the file
// states them (CalculiX writes -1 for no cyclic symmetry).
function stepValueText(facts) {
  if (!facts) return 'time none';
  const name = facts.analysis === 2 ? 'frequency' : facts.analysis === 3 ? 'factor' : 'time';
  const value = facts.value_text || (facts.time === null ? 'none' : String(facts.time));
  const extra = [];
  if (facts.mode !== null) extra.push(`mode ${facts.mode}`);
  if (facts.nodal_diameter !== null && facts.nodal_diameter >= 0) extra.push(`nodal diameter ${facts.nodal_diameter}`);
  return `${name} ${value}${extra.length > 0 ? ` (${extra.join(', ')})` : ''}`;
}

// The array and component lists of the shown step, set to what it shows.
function fillArrayChoices(reply) {
  $('array').replaceChildren(...reply.arrays.map((a) => new Option(a.derived ? `${a.name} (derived)` : a.name, a.name)));
  if (reply.array) $('array').value = reply.array;
  const names = reply.arrays.find((a) => a.name === reply.array)?.componentNames ?? [];
  const options = names.map((name, k) => new Option(name, String(k)));
  if (names.length === 3) options.unshift(new Option('magnitude', 'magnitude'));
  $('component').replaceChildren(...options);
  if (options.length > 0) $('component').value = String(reply.component);
}

// ---- animation ----
// The next step is asked for once the last is shown and its time is up, so
// a slow step delays the animation instead of piling up requests.

$('play').addEventListener('click', () => (state.playing ? stopPlaying() : startPlaying()));

function startPlaying() {
  const steps = state.summary?.steps.length ?? 0;
  if (steps < 2) return;
  let timer = null;
  let askedAt = performance.now();
  state.playing = {
    next() {
      const wait = Math.max(0, 1000 / Number($('rate').value) - (performance.now() - askedAt));
      timer = setTimeout(() => {
        askedAt = performance.now();
        $('step').value = String((Number($('step').value) + 1) % steps);
        request();
      }, wait);
    },
    stop: () => clearTimeout(timer),
  };
  $('play').textContent = 'Pause';
  state.playing.next();
}

function stopPlaying() {
  state.playing?.stop();
  state.playing = null;
  $('play').textContent = 'Play';
}

// ---- deformation scale ----
// Automatic: the largest displacement of the shown step drawn as a chosen
// fraction of the model's size (the diagonal of its bounding box). Typing
// a scale fixes it until the slider is moved or another file is opened.

function currentScale() {
  if (!state.scaleIsAutomatic) return Number($('scale').value);
  const fraction = Number($('scale-percent').value) / 100;
  return state.largestDisplacement > 0 ? (fraction * state.modelSize) / state.largestDisplacement : 1;
}

function showScale() {
  const scale = currentScale();
  if (state.scaleIsAutomatic) $('scale').value = String(Number(scale.toPrecision(6)));
  $('scale').dataset.value = String(scale);
  $('scale-percent-label').textContent = `${$('scale-percent').value} %`;
  $('scale-note').textContent = state.scaleIsAutomatic ? '(automatic)' : '(fixed; the slider makes it automatic again)';
}

$('scale-percent').addEventListener('input', () => {
  state.scaleIsAutomatic = true;
  view.setScale(currentScale());
  showScale();
});
$('scale').addEventListener('input', () => {
  if (!(Number($('scale').value) >= 0)) return;
  state.scaleIsAutomatic = false;
  view.setScale(currentScale());
  showScale();
});

// ---- view ----

for (const button of $('views').querySelectorAll('[data-view]')) {
  button.addEventListener('click', () => lookFrom(button.dataset.view));
}
$('reset-view').addEventListener('click', () => lookFrom('isometric'));

function lookFrom(name) {
  view.lookFrom(STANDARD_VIEWS[name]);
  recordBox();
}

// Where the model lies on the canvas, for whoever drives the page.
function recordBox() {
  document.body.dataset.box = JSON.stringify(view.boxOnScreen());
}
$('edges').addEventListener('change', () => view.setEdges($('edges').checked));
$('colour-map').addEventListener('change', () => setColourMap($('colour-map').value));
for (const id of ['section-axis', 'section-position']) $(id).addEventListener('input', setSection);

function setSection() {
  const axis = $('section-axis').value;
  view.setSection(axis === '' ? null : Number(axis), Number($('section-position').value));
  $('section-position').disabled = axis === '';
}
setSection();

function setColourMap(name) {
  $('legend').querySelector('.bar').style.background = gradientCss(name);
  view.setColourMap(name);
  view.render();
}

// ---- picking ----
// A click (not the end of a drag) on the model asks the worker what the
// nearest node holds in the shown step.

let pressedAt = null;
$('view').addEventListener('pointerdown', (event) => { pressedAt = [event.clientX, event.clientY]; });
$('view').addEventListener('pointerup', (event) => {
  if (!pressedAt || Math.hypot(event.clientX - pressedAt[0], event.clientY - pressedAt[1]) > 4) return;
  if (event.target.tagName !== 'CANVAS') return;
  const point = view.pick(event.clientX, event.clientY);
  if (point < 0) {
    unpick();
    return;
  }
  state.pickedPoint = point;
  view.mark(point);
  worker.postMessage({ type: 'pick', step: state.shownStep, point });
});

function unpick() {
  state.pickedPoint = -1;
  view.mark(-1);
  $('picked').textContent = 'Click the model.';
  $('picked-brief').hidden = true;
  delete $('picked').dataset.values;
}

function picked(reply) {
  if (reply.point !== state.pickedPoint) return;  // picked again meanwhile
  const lines = [`node ${reply.node} at (${reply.coordinates.join(', ')})`];
  if (reply.step >= 0) lines.push(`in step ${reply.step}:`);
  for (const array of reply.arrays) {
    lines.push(`${array.name}${array.derived ? ' (derived)' : ''}`);
    array.values.forEach((value, k) => lines.push(`  ${array.componentNames[k]} = ${value}`));
  }
  $('picked').textContent = lines.join('\n');
  // Over the view: the node and the values of the array shown.
  const shown = reply.arrays.find((a) => a.name === $('array').value);
  $('picked-brief').textContent = [`node ${reply.node}`,
    ...(shown ? shown.values.map((value, k) => `${shown.componentNames[k]} = ${value}`) : [])].join('\n');
  $('picked-brief').hidden = false;
  $('picked').dataset.values = JSON.stringify(reply);  // for whoever drives the page
}

// ---- text panels ----

function setStatus(text, isError = false) {
  $('status').textContent = text;
  $('status').classList.toggle('error', isError);
}

// Also counts what was shown in the page's data-shown attribute, for
// whoever drives the page, and where the model lies on the canvas.
function finishShowing(text, isError = false) {
  view.render();
  $('progress').hidden = true;
  document.body.dataset.shown = String(Number(document.body.dataset.shown ?? 0) + 1);
  recordBox();
  if (!state.shownOnce) {
    state.shownOnce = true;
    const ms = performance.now() - state.openedAt;
    document.body.dataset.shownMs = ms.toFixed(1);
    if (state.timings?.drawStart) state.timings.draw = performance.now() - state.timings.drawStart;
    delete state.timings?.drawStart;
    document.body.dataset.timings = JSON.stringify(state.timings ?? {});  // milliseconds per stage
    text += ` (opened and shown in ${(ms / 1000).toFixed(2)} s)`;
  }
  setStatus(text, isError);
}

// The legend of the shown values: the array and the component by the
// file's names, labelled ticks from the lowest value (bottom) to the
// highest, and grey for points without a value when there are any.
function setLegend(reply) {
  $('legend').hidden = reply === null;
  if (reply === null) return;
  $('legend-title').textContent = legendTitle(reply);
  const ticks = [];
  for (let k = LEGEND_TICKS - 1; k >= 0; --k) {
    const value = k === 0 ? reply.min : k === LEGEND_TICKS - 1 ? reply.max : reply.min + ((reply.max - reply.min) * k) / (LEGEND_TICKS - 1);
    const tick = document.createElement('span');
    tick.textContent = value === null ? '' : Number(value).toPrecision(5);
    tick.dataset.value = value === null ? '' : String(value);
    if (k === 0) tick.id = 'legend-min';
    if (k === LEGEND_TICKS - 1) tick.id = 'legend-max';
    ticks.push(tick);
  }
  $('legend-ticks').replaceChildren(...ticks);
  $('legend-nan').hidden = !reply.values.some((v) => Number.isNaN(v));
}

function legendTitle(reply) {
  const array = reply.arrays.find((a) => a.name === reply.array);
  if (!array) return '';
  const component = reply.component === 'magnitude' ? 'magnitude' : array.componentNames[reply.component];
  return array.components === 1 ? array.name : `${array.name} ${component}`;
}

function showSummary() {
  const s = state.summary;
  const lines = [`${state.fileName}`, `points: ${s.points}`, `cells: ${s.cells.total}`];
  for (const t of s.cells.by_type) lines.push(`  ${String(t.count).padStart(8)}  ${t.element}, VTK type ${t.vtk_type}`);
  lines.push(`steps: ${s.steps.length}`);
  for (const step of s.steps) {
    lines.push(`  step ${step.index}, ${stepValueText(step)}`);
    for (const a of state.stepArrays.get(step.index) ?? []) {
      lines.push(`    ${a.name.padEnd(16)} ${a.components} ${a.components === 1 ? 'component' : 'components'}${a.derived ? ' (derived)' : ''}`);
    }
  }
  $('summary').textContent = lines.join('\n');
}

function showDiagnostics(diagnostics) {
  if (diagnostics.length === 0) {
    $('diagnostics').textContent = 'none';
    return;
  }
  const byKind = new Map();
  for (const d of diagnostics) byKind.set(d.description, [...(byKind.get(d.description) ?? []), d.line]);
  $('diagnostics').textContent = [...byKind].map(([description, lines]) =>
    `${lines.length} ${description} (line ${lines.slice(0, 3).join(', ')}${lines.length > 3 ? ', ...' : ''})`).join('\n');
}
