// Symbols: with the toggle pressed every kind of symbol on the medium carries
// a mark of its own, so that the kinds are told apart in greyscale; the
// marks come and go with the symbols of a running network; the legend shows
// them, in the designed window and in the touch panel.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
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
  await page.setViewport(screen);
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  await page.evaluate(() => window.maclab.api.click('cmdPause', -1));
  return page;
}

// Greyscale pictures of square patches of the medium's canvas (device
// pixels), as the eye without colour would see them.
function greyPatches(page, centres, half) {
  return page.evaluate((centres, half) => {
    const canvas = document.getElementById('medium');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const c = copy.getContext('2d', { willReadFrequently: true });
    c.drawImage(canvas, 0, 0);
    return centres.map(([x, y]) => {
      const d = c.getImageData(x - half, y - half, 2 * half + 1, 2 * half + 1).data;
      const grey = [];
      for (let k = 0; k < d.length; k += 4) grey.push(0.2126 * d[k] + 0.7152 * d[k + 1] + 0.0722 * d[k + 2]);
      return grey;
    });
  }, centres, half);
}
// How many pixels of two patches differ clearly in grey.
const apart = (a, b) => a.reduce((n, v, k) => n + (Math.abs(v - b[k]) > 48 ? 1 : 0), 0);

test('every kind of symbol is told apart in greyscale, on the medium and in the legend', async () => {
  const page = await open(LAPTOP);
  const kinds = await page.evaluate(() => {
    const m = window.maclab;
    const controls = JSON.parse(m.api.controls());
    const fill = (k) => controls.find((e) => e.name === 'shpLegend' && e.index === k).state.fill;
    // Each kind with the colour the program gives it: the legend's rows,
    // and white, the start of an RTS or a CTS.
    const out = m.symbols.legend.map((kind, row) => ({ kind, colour: fill(row) })).filter((k) => k.kind !== 0);
    out.push({ kind: 5, colour: 0xffffff });
    return out;
  });
  assert.equal(kinds.length, 9);
  assert.deepEqual(kinds.map((k) => k.kind).sort((a, b) => a - b), [1, 2, 3, 4, 5, 6, 7, 8, 9]);
  // One cell of each kind in a row across the empty medium.
  const paint = (on) => page.evaluate((kinds, on) => {
    const m = window.maclab;
    const state = JSON.parse(m.api.controls()).find((e) => e.name === 'chkSymbols').state.value;
    if (state !== on) m.api.toggle('chkSymbols');
    m.sync(true);
    m.paint([0, ...kinds.flatMap((k, i) => [1, 900 + i * 900, 8000, 11, k.colour, k.kind])]);
    // The middle of each ring, and a point on its band.
    return kinds.map((k, i) => [Math.round((900 + i * 900) * m.ratio()), Math.round(8000 * m.ratio()),
      Math.round((900 + i * 900 + 11.5 * 15) * m.ratio())]);
  }, kinds, on);
  const half = 6; // the middle of each ring, where its mark stands
  let centres = await paint(1);
  let patches = await greyPatches(page, centres.map(([x, y]) => [x, y]), half);
  for (let a = 0; a < kinds.length; ++a)
    for (let b = a + 1; b < kinds.length; ++b)
      assert.ok(apart(patches[a], patches[b]) >= 6,
        `kinds ${kinds[a].kind} and ${kinds[b].kind}: ${apart(patches[a], patches[b])} pixels apart`);
  // Without the marks some kinds are the same grey (white and the
  // acknowledgement's grey 248 are one): what the marks are for.
  centres = await paint(0);
  const bands = await greyPatches(page, centres.map(([, y, band]) => [band, y]), 0);
  assert.ok(kinds.some((k, a) => kinds.some((l, b) => b > a && apart(bands[a], bands[b]) === 0)));

  // The legend: each row's swatch shows its kind's mark, every row apart in grey.
  await page.evaluate(() => {
    const m = window.maclab;
    m.api.toggle('chkSymbols');
    m.api.toggle('chkLegend');
    m.sync(true);
  });
  const marks = await page.$$eval('#picture text', (t) => t.map((e) => [e.textContent, e.style.display]));
  const expected = await page.evaluate(() => window.maclab.symbols.legend.map((k) => window.maclab.symbols.marks[k]));
  assert.deepEqual(marks.map((m) => m[0]), expected);
  assert.ok(marks.every((m) => m[1] === ''));
  const shots = [];
  for (let row = 0; row < 8; ++row) {
    const box = await page.$eval(`[data-name=shpLegend][data-index="${row}"]`, (e) => {
      const r = e.getBoundingClientRect();
      return { x: Math.round(r.left), y: Math.round(r.top), width: Math.round(r.width), height: Math.round(r.height) };
    });
    shots.push(await page.screenshot({ clip: box, encoding: 'base64', captureBeyondViewport: false }));
  }
  const legend = await page.evaluate(async (shots) => Promise.all(shots.map(async (data) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + data;
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.width;
    c.height = img.height;
    const x = c.getContext('2d');
    x.drawImage(img, 0, 0);
    const d = x.getImageData(0, 0, c.width, c.height).data;
    const grey = [];
    for (let k = 0; k < d.length; k += 4) grey.push(0.2126 * d[k] + 0.7152 * d[k + 1] + 0.0722 * d[k + 2]);
    return grey;
  })), shots);
  for (let a = 0; a < legend.length; ++a)
    for (let b = a + 1; b < legend.length; ++b)
      assert.ok(apart(legend[a], legend[b]) >= 4, `legend rows ${a} and ${b}`);
  await page.close();
});

test('marks come with the symbols of a running network and go with them, key Y', async () => {
  const page = await open(LAPTOP);
  await page.keyboard.press('y');
  const result = await page.evaluate(() => {
    const m = window.maclab, api = m.api;
    api.toggle('chkReliable');
    api.click('cmdStart', 0);
    api.edit('cmbOT', '2.0');
    // On until the medium holds symbols and silence in several cells each.
    const cells = () => m.drawing().filter((o) => o[0] === 1 && o[3] <= 20);
    for (let t = 0; t < 3000; t += 7) {
      m.ticks(7);
      const now = cells();
      if (now.filter((o) => o[5] !== 0).length >= 8 && now.filter((o) => o[5] === 0).length >= 8) break;
    }
    const canvas = document.getElementById('medium');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const c = copy.getContext('2d', { willReadFrequently: true });
    c.drawImage(canvas, 0, 0);
    const medium = m.form.medium.back;
    const at = (x, y) => {
      const d = c.getImageData(Math.round(x * m.ratio()), Math.round(y * m.ratio()), 1, 1).data;
      return d[0] + 256 * d[1] + 65536 * d[2];
    };
    // The middle of each cell: its mark while it holds a symbol, the
    // medium's grey once it is silent again.
    let marked = 0, cleared = 0;
    const wrong = [];
    for (const [kind, x, y, size, colour, k] of m.drawing()) {
      if (kind !== 1 || size > 20) continue;
      const middle = at(x, y);
      if (k === 0) {
        if (middle === medium) ++cleared;
        else wrong.push(['silent cell not cleared', x, y, middle]);
      } else if (middle !== medium) ++marked;
      else wrong.push(['no mark', x, y, colour]);
    }
    const pressed = JSON.parse(api.controls()).find((e) => e.name === 'chkSymbols').state.value;
    return { marked, cleared, wrong, pressed };
  });
  assert.equal(result.pressed, 1);
  assert.deepEqual(result.wrong, []);
  assert.ok(result.marked >= 5 && result.cleared >= 5, JSON.stringify(result));
  await page.close();
});

test('the touch panel\'s legend shows the marks too', async () => {
  const page = await open(PHONE);
  await page.evaluate(() => {
    const m = window.maclab;
    m.api.toggle('chkSymbols');
    m.api.toggle('chkLegend');
    m.sync(true);
  });
  const shown = await page.$$eval('.legend .swatch', (s) => s.map((e) => e.textContent));
  const expected = await page.evaluate(() => window.maclab.symbols.legend.map((k) => window.maclab.symbols.marks[k]));
  assert.deepEqual(shown, expected);
  assert.equal(new Set(shown.filter(Boolean)).size, 8);
  await page.close();
});
