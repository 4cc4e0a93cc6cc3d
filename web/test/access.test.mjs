// The page for everyone: an axe-core audit on every screen size, names taken
// from the captions the window shows, list boxes as comboboxes that say when
// their list is open, a tab order from top to bottom and left to right, a
// focus ring seen on every station's colour, a polite live region with the
// tick and the totals, and Escape to stop typing.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from './serve.mjs';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web');
const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const LAPTOP = { width: 1366, height: 768, deviceScaleFactor: 1 };
const SCREENS = [PHONE, { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  { width: 768, height: 1024, deviceScaleFactor: 2, isMobile: true, hasTouch: true }, LAPTOP,
  { width: 1920, height: 1080, deviceScaleFactor: 1 }];

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

// The page with every control shown: 24 stations, paused, reliable, the
// legend and the station status on.
async function open(screen) {
  const page = await browser.newPage();
  await page.setViewport(screen);
  await page.goto(server.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.maclab && window.maclab.ready);
  await page.evaluate(() => {
    const api = window.maclab.api;
    const list = JSON.parse(api.controls()).find((e) => e.name === 'cmbNodes').state.list;
    api.pick('cmbNodes', list.find((v) => v.trim() === '24'));
    api.click('cmdPause', -1);
    for (const name of ['chkReliable', 'chkLegend', 'chkStatus']) api.toggle(name);
    window.maclab.sync(true);
  });
  return page;
}
const tag = (name, index) => `[data-name="${name}"]` + (index === undefined ? ':not([data-index])' : `[data-index="${index}"]`);

describe('axe-core', () => {
  for (const screen of SCREENS) {
    test(`no serious or critical violation at ${screen.width}×${screen.height}, a list open or not`, async () => {
      const page = await open(screen);
      await page.evaluate(axeSource);
      const audit = () => page.evaluate(async () => {
        const r = await window.axe.run(document, { resultTypes: ['violations'] });
        return r.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
          .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 5).join(', ')}`);
      });
      assert.deepEqual(await audit(), []);
      // And with the charts shown and a list open.
      await page.$eval(tag('chkChart'), (b) => b.click());
      await page.$eval(tag('cmbScheme') + ' .open', (b) => b.click());
      assert.equal(await page.$eval(tag('cmbScheme') + ' ul', (u) => u.hidden), false);
      assert.deepEqual(await audit(), []);
      await page.close();
    });
  }
});

describe('names, states and the keyboard', () => {
  test('boxes, list buttons and station buttons are named by what the window shows', async () => {
    const page = await open(LAPTOP);
    const tree = await page.accessibility.snapshot({ interestingOnly: true });
    const nodes = [];
    (function walk(n) {
      nodes.push(n);
      for (const c of n.children ?? []) walk(c);
    })(tree);
    const names = (role) => nodes.filter((n) => n.role === role).map((n) => n.name);
    assert.deepEqual(names('combobox'), ['Topology:', 'Scheme', 'Nodes', 'Offered Traffic x NetCap', 'Packet Length']);
    const buttons = names('button');
    for (let i = 0; i < 24; ++i) assert.ok(buttons.includes(`Station ${i}`), `Station ${i} in ${buttons}`);
    for (const list of ['Topology list', 'Scheme list', 'Nodes list', 'Offered Traffic list', 'Packet Length list'])
      assert.ok(buttons.includes(list), `${list} in ${buttons}`);
    assert.ok(buttons.includes('Start') && buttons.includes('Step'));
    // The toggles are pressed or not, as their state.
    const legend = nodes.find((n) => n.name === 'Legend');
    assert.equal(legend.role, 'button');
    assert.equal(legend.pressed, true);
    // A list opened from its button: the box says so, and which entry is current.
    const state = () => page.$eval(tag('cmbTopology') + ' input', (i) => ({
      expanded: i.getAttribute('aria-expanded'),
      current: document.getElementById(i.getAttribute('aria-activedescendant'))?.textContent ?? null,
    }));
    assert.deepEqual(await state(), { expanded: 'false', current: null });
    await page.focus(tag('cmbTopology') + ' .open');
    await page.keyboard.press('Enter');
    assert.deepEqual(await state(), { expanded: 'true', current: 'Star' });
    await page.keyboard.press('ArrowDown');
    const next = (await state()).current;
    assert.notEqual(next, 'Star');
    await page.keyboard.press('Escape');
    assert.deepEqual(await state(), { expanded: 'false', current: null });
    await page.close();
  });

  test('Tab goes top to bottom and left to right, through every control', async () => {
    for (const screen of [LAPTOP, PHONE]) {
      const page = await open(screen);
      const expected = await page.evaluate(() => [...document.querySelectorAll('button, input')]
        .filter((e) => e.offsetParent !== null && e.id !== 'fullscreen').length);
      const order = [];
      for (let k = 0; k < expected + 1; ++k) {
        await page.keyboard.press('Tab');
        order.push(await page.evaluate(() => {
          const e = document.activeElement;
          e.scrollIntoView({ block: 'nearest' });
          const r = e.getBoundingClientRect();
          const owner = e.closest('[data-name]');
          return { name: owner ? owner.dataset.name + (owner.dataset.index ?? '') + (e.className === 'open' ? ' list' : '') : e.id,
            top: r.top + (document.getElementById('panel').scrollTop || 0), bottom: r.bottom +
              (document.getElementById('panel').scrollTop || 0), left: r.left, right: r.right };
        }));
      }
      const names = order.map((o) => o.name);
      assert.equal(new Set(names.filter((n) => n !== 'fullscreen')).size, expected, names.join(' '));
      if (screen === LAPTOP) {
        // The top row, then the stations in their order, then the column at the right.
        assert.deepEqual(names.slice(0, 7), ['cmbTopology', 'cmbTopology list', 'chkChart', 'cmbScheme',
          'cmbScheme list', 'cmbNodes', 'cmbNodes list']);
        assert.deepEqual(names.slice(7, 31), [...Array(24).keys()].map((i) => `cmdNode${i}`));
        assert.deepEqual(names.slice(31, 35), ['cmbOT', 'cmbOT list', 'cmbLength', 'cmbLength list']);
      } else {
        // In the panel each next control is further down, or on the same row further right.
        for (let k = 1; k < order.length; ++k) {
          const a = order[k - 1], b = order[k];
          if (b.name === 'fullscreen' || a.name === 'fullscreen') continue;
          const sameRow = b.top < a.bottom - 2 && a.top < b.bottom - 2;
          assert.ok(sameRow ? b.left >= a.right - 1 : b.top >= a.bottom - 2,
            `${a.name} then ${b.name}: ${JSON.stringify([a, b])}`);
        }
      }
      await page.close();
    }
  });

  test('the focus ring shows on every station colour', async () => {
    const page = await open(LAPTOP);
    // Around each focused station button, enough pixels change, each clearly
    // enough to be seen, to make a ring (what the focus looked like before:
    // a dark blue line, lost on a blue station).
    for (let i = 0; i < 24; ++i) {
      const box = await page.$eval(tag('cmdNode', i), (e) => {
        const r = e.getBoundingClientRect();
        return { x: Math.floor(r.left) - 8, y: Math.floor(r.top) - 8, width: Math.ceil(r.width) + 16, height: Math.ceil(r.height) + 16 };
      });
      await page.evaluate(() => document.activeElement?.blur());
      const plain = await page.screenshot({ clip: box, encoding: 'base64', captureBeyondViewport: false });
      // Focus from the keyboard, as focus-visible wants it.
      await page.focus(tag('cmdNode', Math.max(0, i - 1)));
      if (i > 0) await page.keyboard.press('Tab');
      else {
        await page.keyboard.down('Shift');
        await page.keyboard.press('Tab');
        await page.keyboard.up('Shift');
        await page.keyboard.press('Tab');
      }
      assert.equal(await page.evaluate(() => document.activeElement.dataset.index), String(i));
      const focused = await page.screenshot({ clip: box, encoding: 'base64', captureBeyondViewport: false });
      const seen = await page.evaluate(async (a, b) => {
        const read = async (data) => {
          const img = new Image();
          img.src = 'data:image/png;base64,' + data;
          await img.decode();
          const c = document.createElement('canvas');
          c.width = img.width;
          c.height = img.height;
          const x = c.getContext('2d');
          x.drawImage(img, 0, 0);
          return x.getImageData(0, 0, c.width, c.height).data;
        };
        const p = await read(a), q = await read(b);
        const lum = (d, k) => [d[k], d[k + 1], d[k + 2]].map((v) => {
          v /= 255;
          return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
        }).reduce((s, v, j) => s + v * [0.2126, 0.7152, 0.0722][j], 0);
        // Pixels whose focused colour stands at least 3 : 1 from their colour unfocused.
        let changed = 0;
        for (let k = 0; k < q.length; k += 4) {
          const x = lum(p, k), y = lum(q, k);
          if ((Math.max(x, y) + 0.05) / (Math.min(x, y) + 0.05) >= 3) ++changed;
        }
        return changed;
      }, plain, focused);
      // At least a one-pixel ring all round the button.
      assert.ok(seen >= 2 * (box.width + box.height - 32), `station ${i}: ${seen} pixels changed`);
    }
    await page.close();
  });

  test('Escape ends typing, and the keys work again', async () => {
    const page = await open(LAPTOP);
    await page.click(tag('cmbOT') + ' input', { clickCount: 3 });
    await page.keyboard.type('0.5');
    await page.keyboard.press('Escape');
    await page.keyboard.press('f');
    const s = await page.evaluate(() => {
      const c = JSON.parse(window.maclab.api.controls());
      return [c.find((e) => e.name === 'cmbOT').state.text, c.find((e) => e.name === 'chkSpeed').state.caption];
    });
    assert.deepEqual(s, ['0.5', 'Fast']);
    await page.close();
  });

  test('a polite live region says the tick and the totals', async () => {
    const page = await open(PHONE);
    const region = await page.$eval('[aria-live]', (e) => [e.getAttribute('aria-live'), e.getAttribute('role')]);
    assert.deepEqual(region, ['polite', 'status']);
    await page.click(tag('cmdNode', 1));
    await page.$eval(tag('cmdStep'), (b) => b.click());
    const said = await page.$eval('[aria-live]', (e) => e.textContent);
    const tick = await page.$eval(tag('lblTick'), (e) => e.textContent);
    assert.ok(said.startsWith(tick + ', '), said);
    assert.match(said, /Total Transmitted \d+, Total Received \d+, Total Queued 1, Utilisation [\d.]+ %, Efficiency [\d.]+ %/);
    await page.close();
  });
});
