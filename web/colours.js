// Colours as the program hands them out: packed red + 256 * green + 65536 *
// blue, or a system-colour code (high bit set, palette index in the low byte).

// The classic desktop palette, for the system-colour codes.
const SYSTEM = [
  0xc0c0c0, 0x808000, 0x800000, 0x808080, 0xc0c0c0, 0xffffff, 0x000000, 0x000000, 0x000000,
  0xffffff, 0xc0c0c0, 0xd6dcde, 0x808080, 0x800000, 0xffffff, 0xc0c0c0, 0x808080, 0x808080,
  0x000000, 0xc0c0c0, 0xffffff, 0x000000, 0xdfdfdf, 0x000000, 0xe1ffff];

// The packed value of a colour, system codes looked up.
export function packed(c) {
  return c < 0 ? SYSTEM[c & 0xff] ?? 0 : c;
}

// A colour as CSS text.
export function css(c) {
  c = packed(c);
  const hex = (v) => v.toString(16).padStart(2, '0');
  return '#' + hex(c & 255) + hex((c >> 8) & 255) + hex((c >> 16) & 255);
}

// A colour as one opaque pixel of a little-endian RGBA image: red in the
// lowest byte, as in the packed value.
export function pixelWord(c) {
  return ((packed(c) & 0xffffff) | 0xff000000) >>> 0;
}

// The relative luminance (sRGB, 0 black .. 1 white).
export function luminance(c) {
  c = packed(c);
  const channel = (v) => {
    v /= 255;
    return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * channel(c & 255) + 0.7152 * channel((c >> 8) & 255) +
    0.0722 * channel((c >> 16) & 255);
}
