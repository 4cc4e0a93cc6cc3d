// The medium's drawing surface: the rings and bus segments the tick draws,
// set pixel by pixel into an image of the canvas, crisp and without
// antialiased fringes, so that a ring drawn again in another colour leaves
// nothing of the old one.  Every ring and bus segment drawn since the last
// clear is kept, the latest at each place last, so that the picture can be
// painted again at another size.
import { pixelWord } from './colours.js';
import { TWIPS } from './controls.js';

// form: the window's size and colours as the program hands them out.
export function createMedium(canvas, form) {
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
      const [, x, y, size, colour] = op;
      const unit = TWIPS * ratio; // device pixels per CSS pixel
      fillAnnulus(Math.round(x * ratio), Math.round(y * ratio), Math.max(0, size - 1.5) * unit,
        (size + 2.5) * unit, pixelWord(colour === form.silence ? form.medium.back : colour));
    } else {
      // A black box from (x - 240, y - 30) to (x + 240, y + 10), both corners inside.
      const [, x, y] = op;
      fillBox(Math.floor((x - 240) * ratio), Math.floor((y - 30) * ratio),
        Math.floor((x + 240 + TWIPS) * ratio), Math.floor((y + 10 + TWIPS) * ratio), pixelWord(0));
    }
  }
  function show() {
    if (!dirty) return;
    const [l, t, r, b] = dirty;
    ctx.putImageData(image, 0, 0, l, t, r - l, b - t);
    dirty = null;
  }
  // A new size of the backing store (device pixels): everything again.
  function resize(width, height) {
    canvas.width = width;
    canvas.height = height;
    ratio = canvas.width / form.width;
    image = ctx.createImageData(canvas.width, canvas.height);
    pixels = new Uint32Array(image.data.buffer);
    paintBlank();
    for (const op of drawn.values()) paintOne(op);
    show();
  }
  // The drawing calls since the last fetch, as flat numbers: clear 0; ring
  // 1 x y size colour; bus segment 2 x y; repaint 3 target index.
  function paintDraws(calls) {
    const paint = image !== null; // before the first size only kept
    for (let k = 0; k < calls.length;) {
      const kind = calls[k];
      if (kind === 0) {
        drawn.clear();
        if (paint) paintBlank();
        k += 1;
      } else if (kind === 1) {
        const op = calls.slice(k, k + 5);
        const key = `r${op[1]},${op[2]},${op[3]}`;
        drawn.delete(key);
        drawn.set(key, op);
        if (paint) paintOne(op);
        k += 5;
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
    // Rings [1, x, y, size, colour] and bus segments [2, x, y], oldest first.
    drawing: () => [...drawn.values()],
    ratio: () => ratio,
  };
}
