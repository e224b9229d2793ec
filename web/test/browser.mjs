// Debian's Chromium, headless, driving the page that dist/ holds.
import puppeteer from 'puppeteer-core';
import { fileURLToPath } from 'node:url';
import { serve } from '../scripts/serve.mjs';

const dist = fileURLToPath(new URL('../dist', import.meta.url));

// Starts a server for dist/ and the browser; close() stops both. `query`
// goes into the page's address (such as '?pieces=1000').
export async function openPage(query = '') {
  const server = await serve(dist);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    // WebGL on the CPU: the machines that run this have no GPU.
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--window-size=1200,800'],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1200, height: 800 });
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/${query}`);
  return {
    page,
    problems,
    browser,
    async close() {
      await browser.close();
      server.close();
    },
  };
}

// Waits until the page has shown something more than `before` times.
export async function shownAfter(page, before, timeout = 120000) {
  await page.waitForFunction((n) => Number(document.body.dataset.shown ?? 0) > n, { timeout }, before);
  return page.evaluate(() => Number(document.body.dataset.shown));
}

// Loads a file through the page's file input; resolves when it is shown.
export async function loadFile(page, path, timeout = 120000) {
  const before = await page.evaluate(() => Number(document.body.dataset.shown ?? 0));
  const input = await page.$('#file');
  await input.uploadFile(path);
  return shownAfter(page, before, timeout);
}
