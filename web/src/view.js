// The 3D view: the outer surface coloured per point, deformed, with its
// element edges, an axes triad, a section plane, and the node a click picks.
// The page's controls drive it; it knows nothing of kovan.
import * as THREE from 'three';
import { OrbitControls } from 'three/examples/jsm/controls/OrbitControls.js';
import { fillTextureCoordinates, mapTexels, TEXELS } from './colors.js';

const ISOMETRIC = [1, 1, 1];
// Where the camera looks from in each standard view.
export const STANDARD_VIEWS = {
  '+X': [1, 0, 0], '-X': [-1, 0, 0], '+Y': [0, 1, 0], '-Y': [0, -1, 0], '+Z': [0, 0, 1], '-Z': [0, 0, -1], isometric: ISOMETRIC,
};
const GREY = 0xcccccc;  // a model without values

export function createView(container) {
  const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  renderer.localClippingEnabled = true;
  renderer.autoClear = false;
  container.appendChild(renderer.domElement);
  const scene = new THREE.Scene();
  const camera = new THREE.PerspectiveCamera(30, 1, 0.01, 100);
  // Lambert shading divides by pi: a face turned to the camera shows its
  // colour as it is, one seen edge-on some 40 % of it.
  scene.add(new THREE.AmbientLight(0xffffff, 0.4 * Math.PI));
  const light = new THREE.DirectionalLight(0xffffff, 0.6 * Math.PI);
  camera.add(light);
  scene.add(camera);
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.addEventListener('change', () => render());
  const triad = createTriad();

  const clipPlanes = [];
  const colours = new THREE.DataTexture(mapTexels('rainbow'), TEXELS, 2);
  colours.colorSpace = THREE.SRGBColorSpace;
  colours.magFilter = colours.minFilter = THREE.LinearFilter;
  colours.needsUpdate = true;
  // Each look has its own materials, so that each keeps its compiled shader
  // (a material given a map compiles anew and lets its old shader go).
  const surfaceLook = { clippingPlanes: clipPlanes, side: THREE.DoubleSide, polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 };
  const materials = {
    valued: [new THREE.MeshLambertMaterial({ ...surfaceLook, map: colours }), new THREE.LineBasicMaterial({ clippingPlanes: clipPlanes, map: colours })],
    plain: [new THREE.MeshLambertMaterial({ ...surfaceLook, color: GREY }), new THREE.LineBasicMaterial({ clippingPlanes: clipPlanes, color: GREY })],
  };
  const edgeMaterial = new THREE.LineBasicMaterial({ color: 0x1a1a1a, transparent: true, opacity: 0.5, clippingPlanes: clipPlanes });
  const marker = new THREE.Mesh(new THREE.SphereGeometry(1, 16, 12),
    new THREE.MeshBasicMaterial({ color: 0xff00ff, depthTest: false }));
  marker.renderOrder = 2;
  marker.visible = false;
  scene.add(marker);

  let surface = null;
  let lines = null;
  let edges = null;
  let objects = [];
  let base = null;  // undeformed positions, the model's centre at the origin
  let box = new THREE.Box3();
  let displacement = null;
  let scale = 1;
  let field = null;  // { values, min, max }
  let markedPoint = -1;

  function resize() {
    const { clientWidth: w, clientHeight: h } = container;
    renderer.setSize(w, h);
    camera.aspect = w / Math.max(h, 1);
    camera.updateProjectionMatrix();
    render();
  }
  new ResizeObserver(resize).observe(container);
  warmUp();

  // Draws every look once before a file is chosen: a CPU renderer builds
  // a shader's pipeline when it first draws with it, which took longer than
  // drawing the first file.
  function warmUp() {
    const triangle = new THREE.BufferGeometry();
    triangle.setAttribute('position', new THREE.BufferAttribute(new Float32Array([0, 0, -5, 1e-3, 0, -5, 0, 1e-3, -5]), 3));
    triangle.setAttribute('uv', new THREE.BufferAttribute(new Float32Array(6), 2));
    triangle.setIndex([0, 1, 2]);
    const surfaceTriangle = triangle.clone();
    surfaceTriangle.computeVertexNormals();
    const shown = [...materials.valued, ...materials.plain, edgeMaterial].map((material) =>
      (material.isMeshLambertMaterial ? new THREE.Mesh(surfaceTriangle, material) : new THREE.LineSegments(triangle, material)));
    marker.visible = true;
    scene.add(...shown);
    render();
    scene.remove(...shown);
    marker.visible = false;
    triangle.dispose();
    surfaceTriangle.dispose();
    render();
  }

  function render() {
    renderer.setScissorTest(false);
    renderer.setClearColor(0xffffff);
    renderer.clear();
    renderer.render(scene, camera);
    triad.draw(renderer, camera);
  }

  // The triangles, line cells and edges share one set of positions and texture coordinates.
  function setMesh({ positions, triangles, segments, edges: edgePairs }) {
    for (const object of objects) {
      scene.remove(object);
      object.geometry.dispose();
    }
    base = positions;
    box = new THREE.Box3().setFromBufferAttribute(new THREE.BufferAttribute(positions, 3));
    displacement = null;
    field = null;
    markedPoint = -1;
    marker.visible = false;
    marker.scale.setScalar(Math.max(box.getSize(new THREE.Vector3()).length(), 1e-30) / 150);
    const position = new THREE.BufferAttribute(positions.slice(), 3);
    const uv = new THREE.BufferAttribute(new Float32Array((positions.length / 3) * 2), 2);
    const parts = [triangles, segments, edgePairs].map((index) => {
      const part = new THREE.BufferGeometry();
      part.setAttribute('position', position);
      part.setAttribute('uv', uv);
      part.setIndex(new THREE.BufferAttribute(index, 1));
      return part;
    });
    surface = new THREE.Mesh(parts[0], materials.plain[0]);
    lines = new THREE.LineSegments(parts[1], materials.plain[1]);
    edges = new THREE.LineSegments(parts[2], edgeMaterial);
    objects = [surface, lines, edges];
    for (const object of objects) scene.add(object);
    placePoints();
    recolour();
    lookFrom(ISOMETRIC);
    resize();
  }

  // Looks at the drawn model from `direction`, near enough that it fills
  // the view and far enough that all of it is inside.
  function lookFrom(direction) {
    if (!surface) return;
    surface.geometry.computeBoundingSphere();
    const { center, radius } = surface.geometry.boundingSphere;
    const r = Math.max(radius, 1e-30);
    const halfAngle = Math.min(THREE.MathUtils.degToRad(camera.fov / 2),
      Math.atan(Math.tan(THREE.MathUtils.degToRad(camera.fov / 2)) * camera.aspect));
    const distance = (1.1 * r) / Math.sin(halfAngle);
    const along = new THREE.Vector3(...direction).normalize();
    // Straight down the vertical axis the orbit has no way up: lean a little.
    if (Math.abs(along.y) > 0.9999) along.z += 1e-4;
    camera.near = distance / 100;
    camera.far = distance * 100;
    camera.position.copy(center).addScaledVector(along.normalize(), distance);
    controls.target.copy(center);
    camera.updateProjectionMatrix();
    controls.update();
    render();
  }

  function setField(values, min, max) {
    field = values === null ? null : { values, min, max };
    recolour();
  }

  function setColourMap(name) {
    colours.image.data.set(mapTexels(name));
    colours.needsUpdate = true;
  }

  // Values are looked up in the map's texture; without values the model is grey.
  function recolour() {
    if (!surface) return;
    [surface.material, lines.material] = field === null ? materials.plain : materials.valued;
    if (field === null) return;
    const uv = surface.geometry.getAttribute('uv');
    fillTextureCoordinates(field.values, field.min, field.max, uv.array);
    uv.needsUpdate = true;
  }

  function placePoints() {
    const position = surface.geometry.getAttribute('position');
    for (let i = 0; i < base.length; ++i) position.array[i] = base[i] + (displacement ? scale * displacement[i] : 0);
    position.needsUpdate = true;
    surface.geometry.computeVertexNormals();
    surface.geometry.computeBoundingSphere();
    surface.geometry.computeBoundingBox();
    placeMarker();
  }

  function setDisplacement(values, newScale) {
    displacement = values;
    scale = newScale;
    placePoints();
  }

  function setScale(newScale) {
    scale = newScale;
    if (displacement) placePoints();
    render();
  }

  function setEdges(visible) {
    edgeMaterial.visible = visible;
    render();
  }

  // Keeps what lies on the low side of `fraction` of the model's extent
  // along `axis` (0, 1, 2), in undeformed coordinates; axis null: no section.
  function setSection(axis, fraction) {
    clipPlanes.length = 0;
    if (axis !== null) {
      const normal = new THREE.Vector3().setComponent(axis, -1);
      const lo = box.min.getComponent(axis);
      const hi = box.max.getComponent(axis);
      clipPlanes.push(new THREE.Plane(normal, lo + fraction * (hi - lo)));
    }
    for (const material of [...materials.valued, ...materials.plain, edgeMaterial]) material.needsUpdate = true;
    render();
  }

  // The point nearest to where the ray through the window position (x, y)
  // first meets the drawn (deformed, not cut away) surface; -1 for none.
  function pick(clientX, clientY) {
    if (!surface) return -1;
    const { left, top, width, height } = renderer.domElement.getBoundingClientRect();
    const [x, y] = [clientX - left, clientY - top];
    const raycaster = new THREE.Raycaster();
    raycaster.setFromCamera(new THREE.Vector2((2 * x) / width - 1, 1 - (2 * y) / height), camera);
    const hit = raycaster.intersectObject(surface).find((h) => clipPlanes.every((p) => p.distanceToPoint(h.point) >= 0));
    if (!hit) return -1;
    const position = surface.geometry.getAttribute('position');
    const corner = new THREE.Vector3();
    let nearest = -1;
    let best = Infinity;
    for (const point of [hit.face.a, hit.face.b, hit.face.c]) {
      const distance = corner.fromBufferAttribute(position, point).distanceToSquared(hit.point);
      if (distance < best) [best, nearest] = [distance, point];
    }
    return nearest;
  }

  function mark(point) {
    markedPoint = point;
    placeMarker();
    render();
  }

  function placeMarker() {
    marker.visible = markedPoint >= 0 && surface !== null;
    if (marker.visible) marker.position.fromBufferAttribute(surface.geometry.getAttribute('position'), markedPoint);
  }

  // The drawn model's bounding box on the canvas, in the canvas's own
  // coordinates (-1 .. 1 each way): inside when every number is.
  function boxOnScreen() {
    if (!surface) return null;
    const { min, max } = surface.geometry.boundingBox;
    const corners = [0, 1, 2, 3, 4, 5, 6, 7].map((k) => new THREE.Vector3(
      k & 1 ? max.x : min.x, k & 2 ? max.y : min.y, k & 4 ? max.z : min.z).project(camera));
    return [Math.min(...corners.map((c) => c.x)), Math.min(...corners.map((c) => c.y)),
      Math.max(...corners.map((c) => c.x)), Math.max(...corners.map((c) => c.y))];
  }

  return {
    setMesh, setField, setColourMap, setDisplacement, setScale, setEdges, setSection,
    lookFrom, pick, mark, boxOnScreen, render,
  };
}

// The axes triad, drawn in the lower left corner, turned as the model is.
function createTriad() {
  const scene = new THREE.Scene();
  const camera = new THREE.OrthographicCamera(-1.6, 1.6, 1.6, -1.6, 0.1, 10);
  const axes = [[1, 0, 0, 0xd62728, 'X'], [0, 1, 0, 0x2ca02c, 'Y'], [0, 0, 1, 0x1f77b4, 'Z']];
  for (const [x, y, z, colour, name] of axes) {
    const direction = new THREE.Vector3(x, y, z);
    scene.add(new THREE.ArrowHelper(direction, new THREE.Vector3(), 1, colour, 0.3, 0.15));
    const label = textSprite(name, colour);
    label.position.copy(direction).multiplyScalar(1.35);
    scene.add(label);
  }
  const size = 110;
  return {
    draw(renderer, main) {
      camera.position.set(0, 0, 4).applyQuaternion(main.quaternion);
      camera.quaternion.copy(main.quaternion);
      const canvas = renderer.domElement;
      const ratio = renderer.getPixelRatio();
      renderer.setScissorTest(true);
      renderer.setViewport(0, 0, size, size);
      renderer.setScissor(0, 0, size, size);
      renderer.render(scene, camera);
      renderer.setViewport(0, 0, canvas.width / ratio, canvas.height / ratio);
      renderer.setScissorTest(false);
    },
  };
}

function textSprite(text, colour) {
  const canvas = document.createElement('canvas');
  canvas.width = canvas.height = 64;
  const context = canvas.getContext('2d');
  context.font = 'bold 44px sans-serif';
  context.textAlign = 'center';
  context.textBaseline = 'middle';
  context.fillStyle = `#${colour.toString(16).padStart(6, '0')}`;
  context.fillText(text, 32, 34);
  const sprite = new THREE.Sprite(new THREE.SpriteMaterial({ map: new THREE.CanvasTexture(canvas), depthTest: false }));
  sprite.scale.setScalar(0.5);
  return sprite;
}
