// The page on the screens people bring: a phone upright (touch, three device
// pixels to a CSS pixel) and turned, a tablet upright, two laptop sizes.  On
// each, every control of the program's table can be reached and answers a
// tap or a click, nothing scrolls sideways, and on the narrow ones every
// target is at least 44 CSS pixels.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');

const SCREENS = [
  { name: 'phone upright', width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  { name: 'phone turned', width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  { name: 'tablet upright', width: 768, height: 1024, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
  { name: 'laptop', width: 1366, height: 768, deviceScaleFactor: 1 },
  { name: 'desktop', width: 1920, height: 1080, deviceScaleFactor: 1 },
];

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
  page.on('console', (m) => {
    if (m.type() === 'error') problems.push(m.text());
  });
  await page.setViewport(screen);
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  // Every control the program can show, shown: 24 stations, paused (Step),
  // reliable (the backoff toggle), the legend and the station status.
  await page.evaluate(() => {
    const api = window.maclab.api;
    const list = JSON.parse(api.controls()).find((e) => e.name === 'cmbNodes').state.list;
    api.pick('cmbNodes', list.find((v) => v.trim() === '24'));
    window.showAll = () => {
      const state = (name) => JSON.parse(api.controls()).find((e) => e.name === name && e.index < 1).state;
      if (state('cmdPause').caption === 'Pause') api.click('cmdPause', -1);
      for (const name of ['chkReliable', 'chkLegend', 'chkStatus'])
        if (state(name).value !== 1) api.toggle(name);
      window.maclab.sync();
    };
    window.showAll();
    // Count the calls the page makes into the program from now on.
    window.calls = [];
    for (const name of ['click', 'toggle', 'pick', 'edit', 'key']) {
      const real = api[name];
      api[name] = (...args) => {
        window.calls.push([name, ...args]);
        return real(...args);
      };
    }
  });
  return { page, problems };
}

// Where each shown control of the table (or only the one named) stands once
// scrolled into view, and whether a tap at its middle lands on it.
function survey(page, only) {
  return page.evaluate((only) => {
    const out = [];
    for (const e of JSON.parse(window.maclab.api.controls())) {
      if (e.type === 'shape' || e.type === 'line' || !e.state.visible) continue;
      if (only && (only[0] !== e.name || only[1] !== e.index)) continue;
      const sel = `[data-name="${e.name}"]` + (e.index >= 0 ? `[data-index="${e.index}"]` : ':not([data-index])');
      const el = document.querySelector(sel);
      el.scrollIntoView({ block: 'nearest', inline: 'nearest' });
      const targets = e.type === 'combo' ? [el.querySelector('input'), el.querySelector('.open')] : [el];
      for (const t of targets) {
        const r = t.getBoundingClientRect();
        const x = r.left + r.width / 2, y = r.top + r.height / 2;
        const hit = document.elementFromPoint(x, y);
        out.push({
          key: [e.name, e.index],
          name: `${e.name}${e.index >= 0 ? `(${e.index})` : ''}${t.className === 'open' ? ' list button' : ''}`,
          type: e.type, x, y, left: r.left, top: r.top, right: r.right, bottom: r.bottom,
          width: r.width, height: r.height, hits: hit === t || t.contains(hit),
        });
      }
    }
    return out;
  }, only);
}

for (const screen of SCREENS) {
  describe(`${screen.name}, ${screen.width}×${screen.height}`, () => {
    test('every control is on screen or in the panel, and answers a tap', async () => {
      const { page, problems } = await open(screen);
      const touch = !!screen.hasTouch;
      assert.equal(await page.evaluate(() => window.maclab.layout()), screen.width >= 900 ? 'classic' : 'touch');
      const sideways = await page.evaluate(() => ({
        page: document.documentElement.scrollWidth - window.innerWidth,
        panel: (() => {
          const p = document.getElementById('panel');
          return p.scrollWidth - p.clientWidth;
        })(),
        zoom: window.visualViewport.scale,
      }));
      assert.deepEqual(sideways, { page: 0, panel: 0, zoom: 1 });
      const controls = await survey(page);
      assert.ok(controls.length >= 24 + 30, `${controls.length} controls`);
      for (const c of controls) {
        assert.ok(c.left >= -0.5 && c.top >= -0.5 && c.right <= screen.width + 0.5 &&
          c.bottom <= screen.height + 0.5, `${c.name} off screen: ${JSON.stringify(c)}`);
        if (c.type === 'label') continue;
        assert.ok(c.hits, `${c.name} is covered`);
        if (touch) assert.ok(c.width >= 44 && c.height >= 44, `${c.name} is ${c.width}×${c.height}`);
      }
      // Each button, toggle and list answers a tap at its place.
      // A tap's mouse events follow it a moment later.
      const press = async (x, y) => {
        await (touch ? page.touchscreen.tap(x, y) : page.mouse.click(x, y));
        await page.evaluate(() => new Promise((ok) => setTimeout(ok, 40)));
      };
      for (const c of controls.filter((c) => c.type !== 'label')) {
        const [again] = (await survey(page, c.key)).filter((d) => d.name === c.name);
        await page.evaluate(() => { window.calls = []; });
        await press(again.x, again.y);
        const calls = await page.evaluate(() => window.calls);
        const name = c.name.replace(/[( ].*/, '');
        if (c.type === 'combo' && !c.name.endsWith('list button')) {
          assert.equal(await page.evaluate(() => document.activeElement.closest('.combo')?.dataset.name), name);
          await page.evaluate(() => document.activeElement.blur());
        } else if (c.type === 'combo') {
          // The list opens; a tap on the entry shown picks it.
          const item = await page.evaluate((name) => {
            const box = document.querySelector(`[data-name="${name}"]`);
            const li = [...box.querySelectorAll('li')].find((l) => l.dataset.entry === box.querySelector('input').value) ??
              box.querySelector('li');
            li.scrollIntoView({ block: 'nearest' });
            const r = li.getBoundingClientRect();
            return { open: !box.querySelector('ul').hidden, x: r.left + r.width / 2, y: r.top + r.height / 2, entry: li.dataset.entry };
          }, name);
          assert.ok(item.open, `${c.name} opens no list`);
          await press(item.x, item.y);
          assert.deepEqual(await page.evaluate(() => window.calls), [['pick', name, item.entry]]);
        } else {
          assert.equal(calls.length, 1, `${c.name}: ${JSON.stringify(calls)}`);
          assert.equal(calls[0][1], name);
          if (c.type === 'toggle') await press(again.x, again.y);
        }
        await page.evaluate(() => window.showAll());
      }
      assert.deepEqual(problems, []);
      await page.close();
    });
  });
}

describe('turning a phone', () => {
  test('lays the page out again each way, never zoomed, never wider than the screen', async () => {
    const { page, problems } = await open(SCREENS[0]);
    for (const screen of [SCREENS[1], SCREENS[0], SCREENS[1]]) {
      await page.setViewport(screen);
      await page.evaluate(() => new Promise((ok) => requestAnimationFrame(() => setTimeout(ok, 50))));
      const shape = await page.evaluate(() => {
        const view = document.getElementById('view').getBoundingClientRect();
        const panel = document.getElementById('panel').getBoundingClientRect();
        return {
          wide: document.documentElement.scrollWidth - window.innerWidth,
          zoom: window.visualViewport.scale,
          panelBeside: Math.round(panel.left) === Math.round(view.right),
          panelBelow: Math.round(panel.top) === Math.round(view.bottom),
          fills: Math.round(Math.max(view.right, panel.right)) === window.innerWidth &&
            Math.round(Math.max(view.bottom, panel.bottom)) === window.innerHeight,
        };
      });
      const upright = screen.height > screen.width;
      assert.deepEqual(shape, { wide: 0, zoom: 1, panelBeside: !upright, panelBelow: upright, fills: true });
    }
    assert.deepEqual(problems, []);
    await page.close();
  });

  test('a long press shows a tooltip and does not click', async () => {
    const { page } = await open(SCREENS[0]);
    const station = '[data-name=cmdNode][data-index="5"]';
    const at = await page.$eval(station, (el) => {
      el.scrollIntoView({ block: 'center' });
      const r = el.getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
    });
    const cdp = await page.createCDPSession();
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
    await page.evaluate(() => { window.calls = []; });
    await touch('touchStart', [{ x: at.x, y: at.y }]);
    await new Promise((ok) => setTimeout(ok, 800));
    await touch('touchEnd', []);
    const tip = await page.evaluate((sel) => ({
      shown: !document.getElementById('tip').hidden,
      text: document.getElementById('tip').textContent,
      model: JSON.parse(window.maclab.api.controls()).find((e) => e.name === 'cmdNode' && e.index === 5).state.tip,
      calls: window.calls,
    }), station);
    assert.ok(tip.shown);
    assert.equal(tip.text, tip.model);
    assert.match(tip.text, /^Station 5/);
    assert.deepEqual(tip.calls, []);
    // A short tap puts it away and clicks as usual.
    await page.touchscreen.tap(at.x, at.y);
    assert.equal(await page.evaluate(() => document.getElementById('tip').hidden), true);
    assert.deepEqual(await page.evaluate(() => window.calls), [['click', 'cmdNode', 5]]);
    await page.close();
  });
});
