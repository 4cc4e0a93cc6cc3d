// Install and offline: the page is installable (a manifest with its icons, a
// service worker), the first visit loads under 1 MB in all, and once visited
// the page opens and runs with the server gone.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');

// A first visit in a browser with a fresh profile of its own (an incognito
// one cannot install), until the worker has its copies and answers for the page.
async function firstVisit(server) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'maclab-profile-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-extensions'],
  });
  const context = {
    close: async () => {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30000 });
  return { context, page, problems };
}

test('installable, and the first visit loads under 1 MB, worker and manifest included', async (t) => {
  const server = await serve(site);
  const { context, page, problems } = await firstVisit(server);
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors, []);
  const manifest = await cdp.send('Page.getAppManifest');
  assert.deepEqual(manifest.errors, []);
  const icons = JSON.parse(manifest.data).icons;
  assert.ok(icons.some((i) => i.sizes === '512x512' && i.purpose === 'maskable'));
  for (const icon of icons) assert.ok(server.served.has('/' + icon.src), `${icon.src} never fetched`);
  const bytes = [...server.served.values()].reduce((a, b) => a + b, 0);
  t.diagnostic(`first visit: ${bytes} bytes in ${server.served.size} files`);
  assert.ok(server.served.has('/sw.js') && server.served.has('/manifest.webmanifest'));
  assert.ok(bytes < 1000000, `${bytes} bytes`);
  assert.deepEqual(problems, []);
  await context.close();
  await server.stop();
});

test('once visited, the page opens and runs with the server gone', async () => {
  const server = await serve(site);
  const { context, page, problems } = await firstVisit(server);
  await server.stop();
  // Really offline: nothing of the site answers any more.
  assert.equal(await page.evaluate(() => fetch('/nothing-here', { cache: 'no-store' }).then(() => 'answered', () => 'failed')), 'failed');
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready, { timeout: 10000 });
  // And it runs: a start and a hundred ticks put packets through.
  const totals = await page.evaluate(() => {
    const api = window.maclab.api;
    api.click('cmdStart', 0);
    api.edit('cmbOT', '1.0');
    window.maclab.ticks(300);
    return JSON.parse(api.controls()).find((e) => e.name === 'lblTotalQueued').state.caption;
  });
  assert.ok(Number(totals) > 0, totals);
  assert.deepEqual(problems, []);
  await context.close();
});
