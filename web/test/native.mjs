// Where the tests find the native build and the sample files.
import { readdirSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import { resolve } from 'node:path';

const root = resolve(fileURLToPath(new URL('../..', import.meta.url)));
export const dataDir = resolve(root, 'tests/data');
export const files = readdirSync(dataDir).filter((f) => f.endsWith('.frd')).sort();
// The native tool to compare with: KOVAN_TOOL, or the tool of ../build.
export const nativeTool = process.env.KOVAN_TOOL ?? resolve(root, 'build/tools/cli/kovan');
