// The page in Debian's chromium, headless: it loads cleanly, every kind of
// user action reaches Form1 exactly once, the rings land on the canvas where
// the model drew them, and the keys work except while typing.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
const shots = path.join(site, 'screenshots');
let server, browser, page, url;
const problems = []; // console errors, page errors, failed requests

async function open() {
  page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1000 });
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn') problems.push(`console ${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  page.on('requestfailed', (r) => problems.push(`failed request: ${r.url()}`));
  page.on('response', (r) => {
    if (r.status() >= 400) problems.push(`HTTP ${r.status()}: ${r.url()}`);
  });
  const start = Date.now();
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  return Date.now() - start;
}

// The runner's `show` text, parsed into { key: value } by line.
async function show() {
  const text = await page.evaluate(() => window.maclab.api.show());
  const lines = text.split('\n');
  const fields = (line) => Object.fromEntries(
    [...line.matchAll(/(\w+)=("[^"]*"|\S+)/g)].map(([, k, v]) => [k, v.replace(/^"|"$/g, '')]));
  return {
    text,
    texts: fields(lines[0]),
    buttons: fields(lines[1]),
    totals: fields(lines[2]),
    node: (i) => fields(lines.find((l) => l.startsWith(`node ${i} `))),
  };
}

// Counts the calls the page makes into the module from now on.
async function countCalls() {
  await page.evaluate(() => {
    const api = window.maclab.api;
    window.calls = [];
    for (const name of ['click', 'toggle', 'pick', 'edit', 'key']) {
      const real = api['real_' + name] ?? api[name];
      api['real_' + name] = real;
      api[name] = (...args) => {
        window.calls.push([name, ...args]);
        return real(...args);
      };
    }
  });
}
const calls = () => page.evaluate(() => window.calls);
const control = (name, index) =>
  `[data-name="${name}"]` + (index === undefined ? ':not([data-index])' : `[data-index="${index}"]`);
const caption = (name, index) => page.$eval(control(name, index), (e) => e.textContent);

// Each ring's band, sampled on the canvas where no later ring or bus segment
// covers it, shows the ring's colour (silence in the medium's grey).
function checkRings() {
  return page.evaluate(() => {
    const m = window.maclab, r = m.ratio();
    const canvas = document.getElementById('medium');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const reader = copy.getContext('2d', { willReadFrequently: true });
    reader.drawImage(canvas, 0, 0);
    const image = reader.getImageData(0, 0, canvas.width, canvas.height);
    const ops = m.drawing();
    let checked = 0;
    const wrong = [];
    const covered = (x, y, later) => later.some((o) => {
      if (o[0] === 2) return Math.abs(x - o[1]) <= 270 && y >= o[2] - 60 && y <= o[2] + 40;
      const d = Math.hypot(x - o[1], y - o[2]);
      return d >= (o[3] - 2.5) * 15 && d <= (o[3] + 3.5) * 15;
    });
    for (let k = 0; k < ops.length; ++k) {
      if (ops[k][0] !== 1) continue;
      const [, x, y, size, colour] = ops[k];
      const sx = x + (size + 0.5) * 15, sy = y;
      if (covered(sx, sy, ops.slice(k + 1))) continue;
      // The middle of the band, from the centre's pixel as the painter rounds it.
      const px = Math.round(x * r) + Math.round((size + 0.5) * 15 * r), py = Math.round(y * r);
      const at = (py * image.width + px) * 4;
      const want = colour === m.form.silence ? m.form.medium.back : colour;
      const got = [image.data[at], image.data[at + 1], image.data[at + 2]];
      const expect = [want & 255, (want >> 8) & 255, (want >> 16) & 255];
      ++checked;
      if (got.some((v, i) => v !== expect[i])) wrong.push({ x, y, size, expect, got });
    }
    return { checked, wrong, total: ops.length, coloured: ops.filter((o) => o[0] === 1 && o[4] !== m.form.silence).length };
  });
}

before(async () => {
  server = await serve(site);
  url = server.url;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-extensions'],
  });
  fs.mkdirSync(shots, { recursive: true });
});
after(async () => {
  await browser?.close();
  await server?.stop();
});

describe('the page', () => {
  test('loads with no console error or failed request, under 1 MB', async (t) => {
    const ms = await open();
    t.diagnostic(`ready ${ms} ms after navigation`);
    const bytes = fs.readdirSync(site).filter((f) => /\.(html|css|js)$/.test(f) && f !== 'maclab-run.js')
      .reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0);
    t.diagnostic(`page with its WebAssembly: ${bytes} bytes`);
    assert.ok(bytes < 1000000, `${bytes} bytes`);
    const s = await show();
    assert.equal(s.texts.topology, 'Star');
    assert.equal(s.buttons.interval, '100');
    // Every control of the table has its element, each placed as the model says.
    const missing = await page.evaluate(() => {
      const out = [];
      for (const e of JSON.parse(window.maclab.api.controls())) {
        const sel = `[data-name="${e.name}"]` +
          (e.index >= 0 ? `[data-index="${e.index}"]` : ':not([data-index])');
        if (document.querySelectorAll(sel).length !== 1) out.push(`${e.name}(${e.index})`);
      }
      return out;
    });
    assert.deepEqual(missing, []);
    const box = await page.$eval(control('cmdStart', 0), (e) => [e.offsetLeft, e.offsetTop]);
    const model = await page.evaluate(() =>
      JSON.parse(window.maclab.api.controls()).find((e) => e.name === 'cmdStart' && e.index === 0));
    assert.deepEqual(box, [Math.round(model.state.left / 15), Math.round(model.state.top / 15)]);
    // Tooltips: the model's, on the controls and on the picture's shapes.
    const tips = await page.evaluate(() => {
      const model = JSON.parse(window.maclab.api.controls());
      const tip = (name, index) => model.find((e) => e.name === name && e.index === index).state.tip;
      return [
        [document.querySelector('[data-name=cmdNode][data-index="3"]').title, tip('cmdNode', 3)],
        [document.querySelector('[data-name=shpNode][data-index="3"] title').textContent, tip('shpNode', 3)],
        [document.querySelector('[data-name=cmbScheme]').title, tip('cmbScheme', -1)]];
    });
    for (const [shown, model] of tips) {
      assert.ok(model.length > 0);
      assert.equal(shown, model);
    }
    assert.match(tips[0][1], /^Station 3: transmitter TxIdle/);
    assert.deepEqual(problems, []);
  });

  test('full screen from its button and from F11, and back', async () => {
    await page.click('#fullscreen');
    await page.waitForFunction(() => document.fullscreenElement !== null, { timeout: 3000 });
    await page.keyboard.press('F11');
    await page.waitForFunction(() => document.fullscreenElement === null, { timeout: 3000 });
    await page.setViewport({ width: 1280, height: 1000 });
  });

  test('Start, a node button, Pause and Step each reach their handler once', async () => {
    await countCalls();
    await page.click(control('cmdNode', 2));
    let s = await show();
    assert.equal(s.totals.queued, ' 1');
    await page.click(control('cmdStart', 0));
    s = await show();
    assert.equal(s.buttons.start, 'Stop');
    assert.equal(s.buttons.running, '1');
    await page.click(control('cmdPause'));
    s = await show();
    assert.equal(s.buttons.pause, 'Cont');
    assert.equal(s.buttons.timer, '0');
    const tick = Number((await caption('lblTick')).replace('Tick ', ''));
    await page.click(control('cmdStep'));
    assert.equal(await caption('lblTick'), `Tick ${tick + 1}`);
    assert.deepEqual(await calls(), [
      ['click', 'cmdNode', 2], ['click', 'cmdStart', 0], ['click', 'cmdPause', -1],
      ['click', 'cmdStep', -1]]);
    // Paused, the clock does not tick.
    await new Promise((ok) => setTimeout(ok, 300));
    assert.equal(await caption('lblTick'), `Tick ${tick + 1}`);
    await page.click(control('cmdPause'));
    assert.equal((await show()).buttons.timer, '1');
  });

  test('each toggle reaches its handler once', async () => {
    await countCalls();
    const flip = async (name) => {
      await page.click(control(name));
      return show();
    };
    let s = await flip('chkSpeed');
    assert.equal(s.buttons.speed, 'Fast');
    assert.equal(s.buttons.interval, '10');
    s = await flip('chkStatus');
    assert.equal(s.buttons.status, 'Hide Status');
    assert.equal(s.node(0).labels, '1');
    s = await flip('chkReliable');
    assert.equal(s.buttons.reliable, 'Reliable');
    assert.equal(s.buttons.random_shown, '1');
    // Random backoff is on from the start: the first click makes it constant.
    s = await flip('chkRandom');
    assert.equal(s.buttons.random, 'Constant Backoff');
    await flip('chkLegend');
    assert.equal(await page.$eval(control('chkLegend'), (e) => e.getAttribute('aria-pressed')), 'true');
    assert.ok(await page.$eval(control('lblLegend', 0), (e) => e.offsetParent !== null));
    assert.deepEqual((await calls()).map((c) => c[1]),
      ['chkSpeed', 'chkStatus', 'chkReliable', 'chkRandom', 'chkLegend']);
    assert.ok((await calls()).every((c) => c[0] === 'toggle'));
    for (const name of ['chkSpeed', 'chkLegend', 'chkRandom', 'chkReliable', 'chkStatus'])
      await page.click(control(name));
    s = await show();
    assert.equal(s.buttons.speed, 'Slow');
    assert.equal(s.buttons.reliable, 'Unreliable');
  });

  test('a typed and a picked entry reach their handler once', async () => {
    await countCalls();
    const input = control('cmbNodes') + ' input';
    await page.click(input, { clickCount: 3 });
    await page.keyboard.type('12');
    let s = await show();
    assert.equal(s.texts.nodes, '12');
    assert.equal(s.node(11).shown, '1');
    assert.equal(s.node(12).shown, '0');
    assert.deepEqual(await calls(), [['edit', 'cmbNodes', '1'], ['edit', 'cmbNodes', '12']]);
    await countCalls();
    await page.click(control('cmbTopology') + ' .open');
    const item = control('cmbTopology') + ' li[data-entry="Ring"]';
    await page.waitForSelector(item, { visible: true });
    await page.click(item);
    s = await show();
    assert.equal(s.texts.topology, 'Ring');
    assert.equal(await page.$eval(control('cmbTopology') + ' input', (e) => e.value), 'Ring');
    assert.deepEqual(await calls(), [['pick', 'cmbTopology', 'Ring']]);
    assert.ok(await page.$eval(control('cmbTopology') + ' ul', (e) => e.hidden));
    // A typed scheme name that names no scheme shows in the model's red, with its warning.
    await page.click(control('cmbScheme') + ' input', { clickCount: 3 });
    await page.keyboard.type('ALOHx');
    const look = await page.evaluate(() => {
      const e = document.querySelector('[data-name=cmbScheme]');
      const m = JSON.parse(window.maclab.api.controls()).find((c) => c.name === 'cmbScheme').state;
      return { colour: getComputedStyle(e).color, title: e.title, fore: m.fore, tip: m.tip };
    });
    const fore = look.fore;
    assert.equal(look.colour, `rgb(${fore & 255}, ${(fore >> 8) & 255}, ${(fore >> 16) & 255})`);
    assert.notEqual(fore, 0);
    assert.equal(look.title, look.tip);
    assert.match(look.tip, /No scheme/);
    await page.click(control('cmbScheme') + ' .open');
    await page.click(control('cmbScheme') + ' li[data-entry="ALOHA"]');
    assert.equal((await show()).texts.scheme, 'ALOHA');
    // From the keyboard: open the list, one entry down, Enter.
    await countCalls();
    const lengths = await page.$$eval(control('cmbLength') + ' li', (l) => l.map((e) => e.dataset.entry));
    const shown = (await show()).texts.length;
    await page.focus(control('cmbLength') + ' input');
    await page.keyboard.down('Alt');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.up('Alt');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    const next = lengths[lengths.indexOf(shown) + 1];
    assert.equal((await show()).texts.length, next);
    assert.deepEqual(await calls(), [['pick', 'cmbLength', next]]);
  });

  test('the keys work the run controls, and not while typing', async () => {
    await page.click(control('Label14')); // nothing focused that takes keys
    await countCalls();
    let s = await show();
    const running = s.buttons.running;
    await page.keyboard.press('Space');
    assert.equal((await show()).buttons.timer, '0');
    const tick = await caption('lblTick');
    await page.keyboard.press('ArrowRight');
    assert.equal(Number((await caption('lblTick')).slice(5)), Number(tick.slice(5)) + 1);
    await page.keyboard.press('Space');
    assert.equal((await show()).buttons.timer, '1');
    await page.keyboard.press('s');
    assert.notEqual((await show()).buttons.running, running);
    await page.keyboard.press('f');
    assert.equal((await show()).buttons.speed, 'Fast');
    await page.keyboard.press('f');
    await page.keyboard.press('l');
    assert.equal(await page.$eval(control('chkLegend'), (e) => e.getAttribute('aria-pressed')), 'true');
    await page.keyboard.press('l');
    await page.keyboard.press('r');
    assert.equal((await show()).buttons.running, '0');
    assert.deepEqual((await calls()).map((c) => c[1]), ['Space', 'Right', 'Space', 'S', 'F', 'F', 'L', 'L', 'R']);

    // Typing in a box: every key goes into the text, none works a control
    // (the clock is paused, so nothing else changes meanwhile).
    await page.click(control('cmdPause'));
    await countCalls();
    const before = await show();
    const tickBefore = await caption('lblTick');
    await page.click(control('cmbOT') + ' input', { clickCount: 3 });
    await page.keyboard.type('0.5 sfrl');
    await page.keyboard.press('ArrowRight');
    const typed = await show();
    assert.equal(typed.texts.ot, '0.5 sfrl');
    assert.equal(typed.text.split('\n').slice(1).join('\n'), before.text.split('\n').slice(1).join('\n'));
    assert.equal(await caption('lblTick'), tickBefore);
    assert.ok((await calls()).every((c) => c[0] === 'edit'));
    await page.click(control('cmbOT') + ' input', { clickCount: 3 });
    await page.keyboard.type('0.1');
    await page.click(control('cmdPause'));
    assert.equal((await show()).buttons.timer, '1');
  });

  for (const topology of ['Star', 'Ring', 'Bus', 'Space', 'Wide Space']) {
    test(`after 400 ticks on ${topology} the canvas shows the rings the model drew`, async () => {
      await page.evaluate((topology) => {
        const api = window.maclab.api;
        api.pick('cmbTopology', topology);
        api.pick('cmbNodes', JSON.parse(api.controls()).find((e) => e.name === 'cmbNodes')
          .state.list.find((v) => v.trim() === '12'));
        api.click('cmdStart', 0);
        api.edit('cmbOT', '2.0');
        window.maclab.ticks(400);
      }, topology);
      const s = await show();
      assert.equal(s.texts.topology, topology);
      assert.equal(s.texts.nodes.trim(), '12');
      await page.screenshot({ path: path.join(shots, topology.toLowerCase().replace(' ', '-') + '.png') });
      const result = await checkRings();
      assert.ok(result.checked >= 20, JSON.stringify(result));
      assert.ok(result.coloured > 0, 'no signal on the medium');
      assert.deepEqual(result.wrong, []);
    });
  }

  test('scaled to a smaller window and at pixel ratio 2 the picture is painted again', async () => {
    const before = await page.evaluate(() => window.maclab.drawing().length);
    for (const viewport of [{ width: 800, height: 640, deviceScaleFactor: 1 },
      { width: 1000, height: 800, deviceScaleFactor: 2 }]) {
      await page.setViewport(viewport);
      // The page fits itself on the window's resize event.
      await page.evaluate(() => new Promise((ok) => requestAnimationFrame(() => setTimeout(ok, 50))));
      const sizes = await page.evaluate(() => {
        const c = document.getElementById('medium'), b = c.getBoundingClientRect();
        return { backing: c.width, shown: b.width, ratio: window.devicePixelRatio,
          right: b.right, bottom: document.getElementById('stage').getBoundingClientRect().bottom };
      });
      // Fits the window, and has a device pixel for every pixel shown.
      assert.ok(sizes.right <= viewport.width + 1 && sizes.bottom <= viewport.height + 1,
        JSON.stringify(sizes));
      assert.ok(Math.abs(sizes.backing - sizes.shown * sizes.ratio) <= 1, JSON.stringify(sizes));
      const result = await checkRings();
      assert.equal(result.total, before);
      assert.ok(result.checked >= 20, JSON.stringify(result));
      assert.deepEqual(result.wrong, []);
    }
    await page.setViewport({ width: 1280, height: 1000 });
  });

  test('the chart of the run over time takes the history every tenth tick', async () => {
    await page.evaluate(() => {
      window.maclab.api.toggle('chkChart');
      window.maclab.sync(true);
    });
    await page.waitForFunction(() => document.querySelector('#chart polyline.utilisation'));
    const points = await page.$eval('#chart polyline.utilisation', (p) => p.getAttribute('points').split(' ').length);
    const added = await page.evaluate(() => JSON.parse(window.maclab.api.history(0)).samples.length);
    assert.ok(points >= 40 && points === added, `${points} points, ${added} samples`);
    assert.deepEqual(problems, []);
  });
});
