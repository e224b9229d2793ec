// Renders README's picture of the page: the sample file, deformed at the
// automatic scale, coloured by the von Mises stress of its last step, a
// node picked. Usage (after npm run build):
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
  await page.click('#deform');
  await shownAfter(page, shown);
  const view = await page.$('#view canvas');
  const box = await view.boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForFunction(() => document.getElementById('picked').dataset.values);
  await page.screenshot({ path: process.argv[2] ?? 'viewer.png' });
  if (session.problems.length > 0) throw new Error(session.problems.join('; '));
} finally {
  await session.close();
}
