// Renders README's picture of the page: the sample file, deformed, coloured
// by the von Mises stress of its last step. Usage (after npm run build):
// node scripts/screenshot.mjs [OUT.png]   (default: viewer.png)
import { fileURLToPath } from 'node:url';
import { loadFile, openPage, shownAfter } from '../test/browser.mjs';

const sample = fileURLToPath(new URL('../../examples/data/cantilever.frd', import.meta.url));
const session = await openPage();
try {
  const { page } = session;
  let shown = await loadFile(page, sample);
  await page.select('#array', 'STRESS_Mises');
  shown = await shownAfter(page, shown);
  await page.$eval('#scale', (e) => { e.value = '1'; });
  await page.click('#deform');
  await shownAfter(page, shown);
  await page.screenshot({ path: process.argv[2] ?? 'viewer.png' });
} finally {
  await session.close();
}
