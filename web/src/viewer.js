// The viewer page: the mesh in 3D coloured by an array of a step, the
// summary and diagnostics, and conversion as a download. This thread reads
// the file, draws and handles the controls; the worker opens and decodes.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';
import { fillColours, gradientCss } from './colors.js';

const $ = (id) => document.getElementById(id);
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });

// The diagnostic kind of a text in which no line is an FRD line.
const NOT_FRD = 4;

const state = { summary: null, fileName: '', openedAt: 0, shownOnce: false, stepArrays: new Map() };
const view = createView($('view'));
$('legend').querySelector('.bar').style.background = gradientCss;

// ---- files in ----
// The worker reads the file, a piece at a time as kovan asks for it.

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
  state.openedAt = performance.now();
  state.shownOnce = false;
  state.fileName = file.name;
  state.stepArrays.clear();
  delete document.body.dataset.shownMs;
  $('controls').disabled = true;
  setStatus(`reading ${file.name} (${(file.size / 1e6).toFixed(1)} MB)`);
  worker.postMessage({ type: 'open', file });
}

// ---- the worker's answers ----

worker.onmessage = ({ data }) => {
  ({ progress: () => setStatus(`${data.stage}…`), opened, shown, converted, error: failed })[data.type](data);
};

function opened({ summary, mesh, timings }) {
  state.summary = summary;
  state.timings = timings;
  const started = performance.now();
  view.setMesh(mesh);
  timings.mesh = performance.now() - started;
  const last = Math.max(0, summary.steps.length - 1);
  $('step').max = String(last);
  $('step').value = String(last);
  $('array').replaceChildren();  // the new file's first array, shown by default
  $('component').replaceChildren();
  $('controls').disabled = false;
  showSummary();
  showDiagnostics(summary.diagnostics);
  if (summary.diagnostics.some((d) => d.kind === NOT_FRD)) {
    finishShowing('not an FRD file', true);
    return;
  }
  if (summary.steps.length === 0) {
    finishShowing('no steps: the mesh alone');
    return;
  }
  request();
}

function shown(reply) {
  if (!state.shownOnce) Object.assign(state.timings ?? {}, reply.timings, { drawStart: performance.now() });
  state.stepArrays.set(reply.step, reply.arrays);
  fillArrayChoices(reply);
  $('deform').disabled = !reply.canDeform;
  if (reply.error) {
    view.setField(null);
    setLegend(null, null);
    $('legend-title').textContent = '';
    finishShowing(`step ${reply.step + 1} could not be decoded: ${reply.error}`, true);
  } else {
    view.setField(reply.values ?? null, reply.min, reply.max);
    view.setDisplacement(reply.displacement ?? null, Number($('scale').value));
    setLegend(reply.min, reply.max);
    $('legend-title').textContent = legendTitle(reply);
    finishShowing(reply.array ? `step ${reply.step + 1}: ${reply.array}` : `step ${reply.step + 1} has no arrays`);
  }
  showSummary();
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
  setStatus(`${what === 'open' ? 'could not open the file' : `could not ${what}`}: ${message}`, true);
  if (what === 'open') $('controls').disabled = true;
}

// ---- controls ----

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
$('scale').addEventListener('input', () => view.setScale(Number($('scale').value)));
$('save').addEventListener('click', () => worker.postMessage({ type: 'convert', format: $('format').value }));

function stepLabel(step) {
  const facts = state.summary?.steps[step];
  return `step ${step + 1} of ${state.summary?.steps.length ?? 0}, ${stepValueText(facts)}`;
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

// ---- text panels ----

function setStatus(text, isError = false) {
  $('status').textContent = text;
  $('status').classList.toggle('error', isError);
}

// Also counts what was shown in the page's data-shown attribute, for
// whoever drives the page.
function finishShowing(text, isError = false) {
  view.render();
  document.body.dataset.shown = String(Number(document.body.dataset.shown ?? 0) + 1);
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

// The array and the component shown, by the names the file gives them.
function legendTitle(reply) {
  const array = reply.arrays.find((a) => a.name === reply.array);
  if (!array) return '';
  const component = reply.component === 'magnitude' ? 'magnitude' : array.componentNames[reply.component];
  return array.components === 1 ? array.name : `${array.name} ${component}`;
}

function setLegend(min, max) {
  for (const [id, value] of [['legend-min', min], ['legend-max', max]]) {
    $(id).textContent = value === null ? '' : Number(value).toPrecision(6);
    $(id).dataset.value = value === null ? '' : String(value);
  }
}

function showSummary() {
  const s = state.summary;
  const lines = [`${state.fileName}`, `points: ${s.points}`, `cells: ${s.cells.total}`];
  for (const t of s.cells.by_type) lines.push(`  ${String(t.count).padStart(8)}  ${t.element}, VTK type ${t.vtk_type}`);
  lines.push(`steps: ${s.steps.length}`);
  for (const step of s.steps) {
    lines.push(`  step ${step.index + 1}, ${stepValueText(step)}`);
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

// ---- the 3D view ----

function createView(container) {
  const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  container.appendChild(renderer.domElement);
  const scene = new THREE.Scene();
  scene.background = new THREE.Color(0xffffff);
  const camera = new THREE.PerspectiveCamera(30, 1, 0.01, 100);
  scene.add(new THREE.HemisphereLight(0xffffff, 0x666666, 1.6));
  const light = new THREE.DirectionalLight(0xffffff, 1.2);
  camera.add(light);
  scene.add(camera);
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.addEventListener('change', () => render());

  const material = new THREE.MeshLambertMaterial({ vertexColors: true, side: THREE.DoubleSide,
    polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 });
  const lineMaterial = new THREE.LineBasicMaterial({ vertexColors: true });
  let geometry = null;  // the surface's
  let base = null;
  let displacement = null;
  let scale = 1;
  const objects = [];

  function resize() {
    const { clientWidth: w, clientHeight: h } = container;
    renderer.setSize(w, h);
    camera.aspect = w / Math.max(h, 1);
    camera.updateProjectionMatrix();
    render();
  }
  new ResizeObserver(resize).observe(container);

  function render() {
    renderer.render(scene, camera);
  }

  // The surface's triangles and the line cells' segments share one set of
  // positions and colours.
  function setMesh({ positions, radius, triangles, segments }) {
    for (const object of objects.splice(0)) {
      scene.remove(object);
      object.geometry.dispose();
    }
    base = positions;
    displacement = null;
    const position = new THREE.BufferAttribute(positions.slice(), 3);
    const colour = new THREE.BufferAttribute(new Float32Array(positions.length).fill(0.8), 3);
    const lines = new THREE.BufferGeometry();
    geometry = new THREE.BufferGeometry();
    for (const [part, index] of [[geometry, triangles], [lines, segments]]) {
      part.setAttribute('position', position);
      part.setAttribute('color', colour);
      part.setIndex(new THREE.BufferAttribute(index, 1));
    }
    geometry.computeVertexNormals();
    objects.push(new THREE.Mesh(geometry, material), new THREE.LineSegments(lines, lineMaterial));
    for (const object of objects) scene.add(object);
    const scaled = radius * 1.2;
    camera.near = scaled / 100;
    camera.far = scaled * 100;
    camera.position.set(scaled * 2.2, scaled * 1.6, scaled * 3.2);
    controls.target.set(0, 0, 0);
    controls.update();
    resize();
  }

  function setField(values, min, max) {
    const colours = geometry.getAttribute('color');
    if (values === null) colours.array.fill(0.8);
    else fillColours(values, min, max, colours.array);
    colours.needsUpdate = true;
  }

  function placePoints() {
    const position = geometry.getAttribute('position');
    for (let i = 0; i < base.length; ++i) position.array[i] = base[i] + (displacement ? scale * displacement[i] : 0);
    position.needsUpdate = true;
    geometry.computeVertexNormals();
    geometry.computeBoundingSphere();
  }

  function setDisplacement(values, newScale) {
    displacement = values;
    scale = newScale;
    placePoints();
  }

  function setScale(newScale) {
    scale = newScale;
    if (displacement) {
      placePoints();
      render();
    }
  }

  return { setMesh, setField, setDisplacement, setScale, render };
}
