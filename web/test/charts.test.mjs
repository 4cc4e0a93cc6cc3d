// The charts: the Chart toggle shows and hides them on a laptop and a phone;
// the run over time is the program's own chart of its history; a sweep in
// the page's Web Workers gives exactly the table and chart maclab-sweep
// writes for the same settings; Cancel stops it; what is on view is saved as
// PNG, SVG and CSV.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
const nativeSweep = path.resolve(repo, process.env.MACLAB_NATIVE_SWEEP ?? 'build/maclab-sweep');
const LAPTOP = { width: 1366, height: 768, deviceScaleFactor: 1 };
const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

let server, browser;
before(async () => {
  server = await serve(site);
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-extensions'],
  });
});
after(async () => {
  await browser?.close();
  await server?.stop();
});

async function open(screen) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  await page.setViewport(screen);
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  return { page, problems };
}
const tag = (name) => `[data-name="${name}"]`;
const paneShown = (page) => page.evaluate(() => {
  const pane = document.getElementById('charts');
  const r = pane.getBoundingClientRect();
  return !pane.hidden && r.width > 100 && r.height > 100;
});

describe('the charts', () => {
  for (const screen of [LAPTOP, PHONE]) {
    test(`the Chart toggle shows and hides them, ${screen.width}×${screen.height}`, async () => {
      const { page, problems } = await open(screen);
      assert.equal(await paneShown(page), false);
      await page.$eval(tag('chkChart'), (b) => b.click());
      await page.$eval('#charts', (p) => p.scrollIntoView({ block: 'nearest' }));
      assert.equal(await paneShown(page), true);
      const inside = await page.$eval('#charts', (p) => {
        const r = p.getBoundingClientRect();
        return r.left >= 0 && r.right <= window.innerWidth + 0.5;
      });
      assert.ok(inside);
      await page.keyboard.press('c'); // the key does what the toggle does
      assert.equal(await paneShown(page), false);
      assert.deepEqual(problems, []);
      await page.close();
    });
  }

  test('over time: the program\'s chart of its history, drawn again as it grows', async () => {
    const { page } = await open(LAPTOP);
    const curves = await page.evaluate(async () => {
      const m = window.maclab, api = m.api;
      api.click('cmdPause', -1);
      api.toggle('chkChart');
      api.click('cmdStart', 0);
      api.edit('cmbOT', '1.0');
      m.ticks(400);
      await new Promise((ok) => setTimeout(ok, 700)); // the next drawing
      // The history as the program writes it out, every number exact.
      const history = api.historyChart(0, '').trim().split('\n').slice(1).map((l) => l.split(','));
      const line = (name) => document.querySelector(`#chart polyline.${name}`)?.getAttribute('points') ?? '';
      return {
        history,
        utilisation: line('utilisation').split(' ').map((p) => p.split(',')),
        waiting: line('waiting').split(' ').map((p) => p.split(',')),
      };
    });
    assert.equal(curves.history.length, 40);
    assert.deepEqual(curves.utilisation, curves.history.map((s) => [s[0], s[1]]));
    assert.deepEqual(curves.waiting, curves.history.map((s) => [s[0], s[3]]));
    await page.close();
  });

  test('a sweep in the page gives exactly maclab-sweep\'s table and chart', async (t) => {
    const { page, problems } = await open(LAPTOP);
    await page.evaluate(() => {
      window.maclab.api.toggle('chkChart');
      window.maclab.sync(true);
    });
    await page.click('#tab-sweep');
    await page.$eval('#ticks', (i) => { i.value = '4000'; });
    const start = Date.now();
    await page.click('#sweep');
    const during = await page.evaluate(() => ({
      running: window.maclab.charts.running(),
      progress: !document.getElementById('progress').hidden,
      cancel: !document.getElementById('cancel').hidden,
    }));
    assert.deepEqual(during, { running: true, progress: true, cancel: true });
    await page.waitForFunction(() => !window.maclab.charts.running(), { timeout: 120000 });
    t.diagnostic(`12 points of 4000 ticks in ${Date.now() - start} ms`);
    const shown = await page.evaluate(() => window.maclab.charts.sweepText());
    // The page's network: ALOHA on Star, 7 stations, length 10, unreliable,
    // random backoff.
    const out = fs.mkdtempSync(path.join(os.tmpdir(), 'maclab-sweep-'));
    const r = spawnSync(nativeSweep, ['--scheme', 'ALOHA', '--topology', 'Star', '--stations', '7',
      '--length', '10', '--unreliable', '--backoff', 'random', '--ticks', '4000', '--out', path.join(out, 's')]);
    assert.equal(r.status, 0, r.stderr?.toString());
    assert.equal(shown.csv, fs.readFileSync(path.join(out, 's.csv'), 'utf8'));
    assert.equal(shown.svg, fs.readFileSync(path.join(out, 's.svg'), 'utf8'));
    assert.ok(await page.$('#chart svg'));
    assert.deepEqual(problems, []);
    await page.close();
  });

  test('Cancel stops a sweep', async () => {
    const { page } = await open(LAPTOP);
    await page.evaluate(() => {
      window.maclab.api.toggle('chkChart');
      window.maclab.sync(true);
    });
    await page.click('#tab-sweep');
    await page.$eval('#ticks', (i) => { i.value = '100000000'; });
    await page.click('#sweep');
    await page.waitForFunction(() => document.getElementById('progress').value > 0, { timeout: 20000 });
    await page.click('#cancel');
    const after = await page.evaluate(() => ({
      running: window.maclab.charts.running(),
      sweep: !document.getElementById('sweep').hidden,
      progress: !document.getElementById('progress').hidden,
      chart: window.maclab.charts.sweepText(),
    }));
    assert.deepEqual(after, { running: false, sweep: true, progress: false, chart: null });
    await page.close();
  });

  test('the chart on view is saved as PNG, SVG and CSV', async () => {
    const { page } = await open(LAPTOP);
    const into = fs.mkdtempSync(path.join(os.tmpdir(), 'maclab-saved-'));
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: into });
    const expected = await page.evaluate(() => {
      const m = window.maclab, api = m.api;
      api.click('cmdPause', -1);
      api.toggle('chkChart');
      api.click('cmdStart', 0);
      m.ticks(200);
      return { svg: api.historyChart(1, 'The run over time'), csv: api.historyChart(0, '') };
    });
    for (const kind of ['png', 'svg', 'csv']) await page.click(`#save-${kind}`);
    const file = (name) => path.join(into, name);
    for (let k = 0; k < 100 && !['png', 'svg', 'csv'].every((e) => fs.existsSync(file(`maclab-over-time.${e}`))); ++k)
      await new Promise((ok) => setTimeout(ok, 100));
    assert.equal(fs.readFileSync(file('maclab-over-time.csv'), 'utf8'), expected.csv);
    assert.equal(fs.readFileSync(file('maclab-over-time.svg'), 'utf8'), expected.svg);
    const png = fs.readFileSync(file('maclab-over-time.png'));
    assert.equal(png.subarray(1, 4).toString(), 'PNG');
    assert.equal(png.readUInt32BE(16), 1800); // twice the chart's 900 pixels
    await page.close();
  });
});
