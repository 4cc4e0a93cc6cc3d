// Measures the page in headless chromium: how long it takes to be ready,
// and one tick with the mirroring of the controls and the painting, for 24
// stations at offered traffic 2.0 on every topology.
//   node web/bench/page-bench.mjs        (after scripts/build-web.sh and npm ci)
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
const url = pathToFileURL(path.join(site, 'index.html')).href;
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox'],
});
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 1000 });
const loads = [];
for (let k = 0; k < 5; ++k) {
  const start = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  loads.push(Date.now() - start);
}
console.log(`ready after navigation: ${loads.join(', ')} ms (five loads)`);
for (const topology of ['Bus', 'Star', 'Ring', 'Space', 'Wide Space']) {
  const ms = await page.evaluate((topology) => {
    const api = window.maclab.api;
    api.pick('cmbTopology', topology);
    const list = JSON.parse(api.controls()).find((e) => e.name === 'cmbNodes').state.list;
    api.pick('cmbNodes', list.find((v) => v.trim() === '24'));
    api.click('cmdStart', 0);
    api.edit('cmbOT', '2.0');
    window.maclab.ticks(500);
    const start = performance.now();
    window.maclab.ticks(2000);
    return (performance.now() - start) / 2000;
  }, topology);
  console.log(`${topology.padEnd(10)} ${ms.toFixed(3)} ms per tick`);
}
await browser.close();
