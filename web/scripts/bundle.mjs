// Bundles the module and the page into dist/: kovan.mjs (the API, the
// WebAssembly module inside it), the page's script and its worker, and the
// page itself.
import { build } from 'esbuild';
import { copyFile, mkdir } from 'node:fs/promises';

const common = { bundle: true, format: 'esm', target: 'es2022', minify: true, sourcemap: true, logLevel: 'warning' };
await mkdir('dist', { recursive: true });
await build({ ...common, entryPoints: ['src/kovan.mjs'], outfile: 'dist/kovan.mjs', platform: 'neutral' });
await build({ ...common, entryPoints: ['src/viewer.js', 'src/worker.js', 'src/reader.js', 'src/surface_worker.js'], outdir: 'dist', platform: 'browser' });
for (const file of ['index.html', 'style.css']) await copyFile(`src/${file}`, `dist/${file}`);
