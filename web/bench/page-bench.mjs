// Measures the page in headless chromium, served from this machine's disk by
// a local static server: how long it takes to be ready, everything it loads,
// one tick with the mirroring of the controls and the painting for 24
// stations at offered traffic 2.0 on every topology, the frames of a
// 10-second run at Fast with 24 stations on a laptop-sized window, and a
// sweep of 12 points of 100,000 ticks.
//   node web/bench/page-bench.mjs        (after scripts/build-web.sh and npm ci)
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../test/serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
const server = await serve(site);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox'],
});
const page = await browser.newPage();
await page.setViewport({ width: 1366, height: 768 });
// Every load starts with an empty cache and no service worker, as a first visit.
const cdp = await page.createCDPSession();
await cdp.send('Network.enable');
await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
await cdp.send('Network.setBypassServiceWorker', { bypass: true });
let bytes = 0;
const files = new Set();
// What came over the network (the WebAssembly inside maclab.js, decoded from
// a data: URL, is counted once, in maclab.js).
const fetched = new Map();
cdp.on('Network.responseReceived', (e) => {
  if (!e.response.url.startsWith('data:')) fetched.set(e.requestId, new URL(e.response.url).pathname);
});
cdp.on('Network.loadingFinished', (e) => {
  if (!fetched.has(e.requestId)) return;
  bytes += e.encodedDataLength;
  files.add(fetched.get(e.requestId));
});
const loads = [];
for (let k = 0; k < 5; ++k) {
  bytes = 0;
  const start = Date.now();
  await page.goto(server.url);
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  loads.push(Date.now() - start);
}
// Whatever else the page fetches by itself (the service worker's copies).
await new Promise((ok) => setTimeout(ok, 1000));
console.log(`ready after navigation: ${loads.join(', ')} ms (five loads)`);
console.log(`loaded: ${bytes} bytes in ${files.size} files (${[...files].sort().join(' ')})`);
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
// Ten seconds of the page's own clock at Fast, 24 stations on Star, offered
// traffic 2.0: the time between frames the browser painted.
const frames = await page.evaluate(async () => {
  const api = window.maclab.api;
  api.pick('cmbTopology', 'Star');
  const list = JSON.parse(api.controls()).find((e) => e.name === 'cmbNodes').state.list;
  api.pick('cmbNodes', list.find((v) => v.trim() === '24'));
  document.querySelector('[data-name=cmdStart][data-index="0"]').click();
  api.edit('cmbOT', '2.0');
  if (JSON.parse(api.controls()).find((e) => e.name === 'chkSpeed').state.value !== 1)
    document.querySelector('[data-name=chkSpeed]').click();
  const tick0 = Number(document.querySelector('[data-name=lblTick]').textContent.slice(5));
  const gaps = [];
  let last = performance.now();
  const end = last + 10000;
  await new Promise((done) => {
    const frame = (now) => {
      gaps.push(now - last);
      last = now;
      if (now < end) requestAnimationFrame(frame);
      else done();
    };
    requestAnimationFrame(frame);
  });
  const ticks = Number(document.querySelector('[data-name=lblTick]').textContent.slice(5)) - tick0;
  return { gaps, ticks };
});
const gaps = frames.gaps.slice(1).sort((a, b) => a - b);
const pick = (q) => gaps[Math.min(gaps.length - 1, Math.floor(q * gaps.length))].toFixed(1);
console.log(`Fast, 24 stations, 10 s: ${gaps.length / 10} frames/s, ${frames.ticks / 10} ticks/s, ` +
  `frame gap median ${pick(0.5)} ms, 99th percentile ${pick(0.99)} ms, longest ${pick(1)} ms, ` +
  `${gaps.filter((g) => g > 33).length} over 33 ms`);
// A sweep of the page's network (24 stations, ALOHA on Star): 12 points of
// 100,000 ticks in the page's Web Workers, one per core.
await page.evaluate(() => {
  const api = window.maclab.api;
  api.click('cmdStart', 0); // stop the random arrivals of the run above
  if (JSON.parse(api.controls()).find((e) => e.name === 'chkChart').state.value !== 1)
    document.querySelector('[data-name=chkChart]').click();
  document.getElementById('tab-sweep').click();
  document.getElementById('ticks').value = '100000';
});
const sweepStart = Date.now();
await page.click('#sweep');
await page.waitForFunction(() => !window.maclab.charts.running(), { timeout: 600000, polling: 50 });
console.log(`sweep, 12 points of 100,000 ticks, ${await page.evaluate(() => navigator.hardwareConcurrency)} ` +
  `workers: ${Date.now() - sweepStart} ms`);
await browser.close();
await server.stop();
