// Draws the page's PNG icons from icon.svg in headless chromium, once, when
// the icon changes; the PNGs are kept in the repository beside it.
//   node web/tools/make-icons.mjs
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const web = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const svg = fs.readFileSync(path.join(web, 'icon.svg'), 'utf8');
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox'],
});
const page = await browser.newPage();
// name, size, and the share of the icon kept inside the maskable safe zone
for (const [name, size, inset] of [['icon-192.png', 192, 0], ['icon-512.png', 512, 0],
  ['icon-maskable.png', 512, 0.1]]) {
  await page.setViewport({ width: size, height: size });
  const body = inset
    ? `<div style="width:${size}px;height:${size}px;background:#808084;display:grid;place-items:center">` +
      `<img src="data:image/svg+xml;base64,${Buffer.from(svg.replace('rx="96"', 'rx="0"')).toString('base64')}" ` +
      `style="width:${size * (1 - 2 * inset)}px"></div>`
    : `<img src="data:image/svg+xml;base64,${Buffer.from(svg).toString('base64')}" style="width:${size}px;display:block">`;
  await page.setContent(`<html><body style="margin:0;background:transparent">${body}</body></html>`);
  await page.screenshot({ path: path.join(web, name), omitBackground: true });
}
await browser.close();
