// The medium's drawing surface: the rings and bus segments the tick draws,
// set pixel by pixel into an image of the canvas, crisp and without
// antialiased fringes, so that a ring drawn again in another colour leaves
// nothing of the old one.  Every ring and bus segment drawn since the last
// clear is kept, the latest at each place last, so that the picture can be
// painted again at another size.
import { pixelWord } from './colours.js';
import { TWIPS } from './controls.js';
import { BADGE, SILENCE, badgeSprite } from './symbols.js';

// Rings up to this size (CSS pixels) are cells with a hole of their own, the
// mark in the middle; larger ones grow around a station with others of the
// same centre, the mark on the ring at the top.
const CELL = 20;

// form: the window's size and colours as the program hands them out;
// marks: the letter of each kind of symbol.
export function createMedium(canvas, form, marks) {
  let symbols = false; // marks drawn
  const drawn = new Map();
  const ctx = canvas.getContext('2d', { alpha: false });
  let ratio = 1; // device pixels per twip
  let image = null, pixels = null; // the canvas's pixels, one 32-bit word each
  let dirty = null; // [left, top, right, bottom] device pixels not yet shown

  function markDirty(l, t, r, b) {
    l = Math.max(0, l);
    t = Math.max(0, t);
    r = Math.min(image.width, r);
    b = Math.min(image.height, b);
    if (l >= r || t >= b) return;
    dirty = dirty ? [Math.min(dirty[0], l), Math.min(dirty[1], t), Math.max(dirty[2], r),
      Math.max(dirty[3], b)] : [l, t, r, b];
  }
  function fillBox(l, t, r, b, w) {
    l = Math.max(0, l);
    t = Math.max(0, t);
    r = Math.min(image.width, r);
    b = Math.min(image.height, b);
    for (let y = t; y < b; ++y) pixels.fill(w, y * image.width + l, y * image.width + r);
    markDirty(l, t, r, b);
  }
  function paintBlank() {
    fillBox(0, 0, image.width, image.height, pixelWord(form.back));
    const m = form.medium;
    fillBox(Math.round(m.left * ratio), Math.round(m.top * ratio),
      Math.round((m.left + m.width) * ratio), Math.round((m.top + m.height) * ratio),
      pixelWord(m.back));
  }
  // Four one-pixel circles of radius size - 1 .. size + 2 pixels, as one band:
  // every pixel whose distance from the centre lies in [size - 1.5, size + 2.5).
  function fillAnnulus(cx, cy, inner, outer, w) {
    const reach = Math.ceil(outer);
    const width = image.width, height = image.height;
    const inner2 = inner * inner, outer2 = outer * outer;
    const span = (row, from, to) => {
      from = Math.max(0, from);
      to = Math.min(width - 1, to);
      if (from <= to) pixels.fill(w, row + from, row + to + 1);
    };
    for (let dy = -reach; dy <= reach; ++dy) {
      const y = cy + dy;
      if (y < 0 || y >= height) continue;
      // On this row the band is dx*dx in [inner2 - dy*dy, outer2 - dy*dy).
      const below = outer2 - dy * dy;
      if (below <= 0) continue;
      let xo = Math.floor(Math.sqrt(below));
      while (xo * xo >= below) --xo;
      while ((xo + 1) * (xo + 1) < below) ++xo;
      const least = inner2 - dy * dy;
      let xi = 0;
      if (least > 0) {
        xi = Math.ceil(Math.sqrt(least));
        while (xi > 0 && (xi - 1) * (xi - 1) >= least) --xi;
        while (xi * xi < least) ++xi;
      }
      if (xi > xo) continue;
      const row = y * width;
      if (xi === 0) {
        span(row, cx - xo, cx + xo);
      } else {
        span(row, cx - xo, cx - xi);
        span(row, cx + xi, cx + xo);
      }
    }
    markDirty(cx - reach, cy - reach, cx + reach + 1, cy + reach + 1);
  }
  function paintOne(op) {
    if (op[0] === 1) {
      const [, x, y, size, colour, kind] = op;
      const unit = TWIPS * ratio; // device pixels per CSS pixel
      const cx = Math.round(x * ratio), cy = Math.round(y * ratio);
      const shown = colour === form.silence ? form.medium.back : colour;
      const cell = size <= CELL;
      fillAnnulus(cx, cy, Math.max(0, size - 1.5) * unit, (size + 2.5) * unit, pixelWord(shown));
      if (!symbols) return;
      // The mark, where the last one of this ring stood: a new one covers it,
      // silence takes it away.
      const across = Math.max(7, Math.round(BADGE * unit));
      const my = cell ? cy : Math.round(cy - (size + 0.5) * unit);
      if (kind !== SILENCE) {
        paintSprite(badgeSprite(marks[kind] ?? '?', shown, across), cx, my);
      } else {
        fillAnnulus(cx, my, 0, across / 2 + 0.5, pixelWord(form.medium.back));
        // What lies in a cell's hole under the mark: the bus.
        if (cell) for (const other of drawn.values()) if (other[0] === 2) paintSegment(other, cx, my, across / 2 + 0.5);
      }
    } else {
      paintSegment(op);
    }
  }
  // A black box from (x - 240, y - 30) to (x + 240, y + 10), both corners
  // inside; or only as much of it as lies within `reach` of (cx, cy).
  function paintSegment([, x, y], cx, cy, reach) {
    const l = Math.floor((x - 240) * ratio), t = Math.floor((y - 30) * ratio);
    const r = Math.floor((x + 240 + TWIPS) * ratio), b = Math.floor((y + 10 + TWIPS) * ratio);
    if (reach === undefined) {
      fillBox(l, t, r, b, pixelWord(0));
      return;
    }
    const black = pixelWord(0);
    for (let py = Math.max(t, Math.ceil(cy - reach), 0); py < Math.min(b, cy + reach, image.height); ++py)
      for (let px = Math.max(l, Math.ceil(cx - reach), 0); px < Math.min(r, cx + reach, image.width); ++px)
        if (Math.hypot(px - cx, py - cy) <= reach) pixels[py * image.width + px] = black;
  }
  // A sprite centred at (cx, cy) device pixels.
  function paintSprite({ size, words }, cx, cy) {
    const left = cx - (size >> 1), top = cy - (size >> 1);
    for (let y = 0; y < size; ++y) {
      const row = top + y;
      if (row < 0 || row >= image.height) continue;
      for (let x = 0; x < size; ++x) {
        const w = words[y * size + x], col = left + x;
        if (w !== 0 && col >= 0 && col < image.width) pixels[row * image.width + col] = w;
      }
    }
    markDirty(left, top, left + size, top + size);
  }
  function show() {
    if (!dirty) return;
    const [l, t, r, b] = dirty;
    ctx.putImageData(image, 0, 0, l, t, r - l, b - t);
    dirty = null;
  }
  function repaint() {
    paintBlank();
    for (const op of drawn.values()) paintOne(op);
    show();
  }
  // A new size of the backing store (device pixels): everything again.
  function resize(width, height) {
    canvas.width = width;
    canvas.height = height;
    ratio = canvas.width / form.width;
    image = ctx.createImageData(canvas.width, canvas.height);
    pixels = new Uint32Array(image.data.buffer);
    repaint();
  }
  // Marks on or off: everything again.
  function showSymbols(on) {
    if (on === symbols) return;
    symbols = on;
    if (image) repaint();
  }
  // The drawing calls since the last fetch, as flat numbers: clear 0; ring
  // 1 x y size colour kind; bus segment 2 x y; repaint 3 target index.
  function paintDraws(calls) {
    const paint = image !== null; // before the first size only kept
    for (let k = 0; k < calls.length;) {
      const kind = calls[k];
      if (kind === 0) {
        drawn.clear();
        if (paint) paintBlank();
        k += 1;
      } else if (kind === 1) {
        const op = calls.slice(k, k + 6);
        const key = `r${op[1]},${op[2]},${op[3]}`;
        drawn.delete(key);
        drawn.set(key, op);
        if (paint) paintOne(op);
        k += 6;
      } else if (kind === 2) {
        const op = calls.slice(k, k + 3);
        const key = `b${op[1]},${op[2]}`;
        drawn.delete(key);
        drawn.set(key, op);
        if (paint) paintOne(op);
        k += 3;
      } else {
        k += 3; // a control to draw again: the picture's shapes always lie above
      }
    }
    if (paint) show();
  }

  return {
    resize,
    paintDraws,
    showSymbols,
    // Rings [1, x, y, size, colour, kind] and bus segments [2, x, y], oldest first.
    drawing: () => [...drawn.values()],
    ratio: () => ratio,
  };
}
