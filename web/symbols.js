// The marks drawn inside the rings while "Symbols" is pressed, so that no
// symbol on the medium is told by colour alone: a round badge in the
// symbol's colour with its letter (the program says which letter each kind
// has), in black or white, whichever reads on it.
import { luminance, pixelWord } from './colours.js';

export const SILENCE = 0;
export const BADGE = 15; // CSS pixels across (a cell's hole is 19)

// A badge of `size` device pixels across, as pixel words (0 outside the
// round badge, where it leaves the picture alone).
const sprites = new Map();
export function badgeSprite(mark, colour, size) {
  const key = `${mark}|${colour}|${size}`;
  let sprite = sprites.get(key);
  if (sprite) return sprite;
  // The letter, as a mask.
  const canvas = document.createElement('canvas');
  canvas.width = canvas.height = size;
  const c = canvas.getContext('2d', { willReadFrequently: true });
  c.fillStyle = '#fff';
  c.font = `bold ${Math.round(size * 0.72)}px "Liberation Sans", Arimo, Arial, sans-serif`;
  c.textAlign = 'center';
  c.textBaseline = 'middle';
  c.fillText(mark, size / 2, size / 2 + size * 0.05);
  const letter = c.getImageData(0, 0, size, size).data;
  const ink = pixelWord(luminance(colour) > 0.18 ? 0 : 0xffffff), fill = pixelWord(colour);
  const r = size / 2, rim = r - Math.max(1, size / 12);
  const words = new Uint32Array(size * size); // 0: outside the badge
  for (let y = 0; y < size; ++y)
    for (let x = 0; x < size; ++x) {
      const d = Math.hypot(x + 0.5 - r, y + 0.5 - r), k = y * size + x;
      if (d > r) continue;
      // Crisp: each pixel either ink or the symbol's colour.
      words[k] = d > rim || letter[4 * k + 3] >= 110 ? ink : fill;
    }
  sprite = { size, words };
  sprites.set(key, sprite);
  return sprite;
}
