// The run over time: utilisation, efficiency and the packets waiting, taken
// from the program's history every tenth tick and charted on a canvas.
export const SERIES = [
  { key: 1, colour: '#0050c8', scale: 'percent' },
  { key: 2, colour: '#008040', scale: 'percent' },
  { key: 3, colour: '#b03000', scale: 'waiting' },
];

export function createHistoryChart({ api, canvas, note }) {
  const samples = []; // [tick, utilisation, efficiency, waiting]
  let fetched = 0; // samples numbered below this have been fetched
  let dirty = true, queued = false;
  let width = 0, height = 0, ratio = 1; // CSS pixels, device pixels per CSS pixel
  const c = canvas.getContext('2d');

  function fetch() {
    const h = JSON.parse(api.history(fetched));
    if (h.added < fetched) {
      // The network was reset: the history starts again.
      samples.length = 0;
      fetched = 0;
      dirty = true;
      return fetch();
    }
    if (h.samples.length) {
      samples.push(...h.samples);
      if (samples.length > 10000) samples.splice(0, samples.length - 10000);
      dirty = true;
    }
    fetched = h.added;
    if (dirty && !queued) {
      queued = true;
      requestAnimationFrame(draw);
    }
  }

  function draw() {
    queued = false;
    dirty = false;
    if (!width) return;
    const w = width, h = height;
    c.setTransform(ratio, 0, 0, ratio, 0, 0);
    c.fillStyle = '#f6f5f0';
    c.fillRect(0, 0, w, h);
    const left = 50, right = w - 60, top = 10, bottom = h - 28;
    c.strokeStyle = '#808084';
    c.lineWidth = 1;
    c.strokeRect(left, top, right - left, bottom - top);
    c.font = '13px "Liberation Sans", Arimo, Arial, sans-serif';
    c.fillStyle = '#000';
    if (samples.length < 2) {
      c.fillText('The chart fills every tenth tick once the network runs.', left + 12, top + 24);
      note.textContent = '';
      return;
    }
    const t0 = samples[0][0], t1 = samples[samples.length - 1][0];
    let topPercent = 100, topWaiting = 1;
    for (const s of samples) {
      topPercent = Math.max(topPercent, s[1], s[2] ?? 0);
      topWaiting = Math.max(topWaiting, s[3]);
    }
    const x = (t) => left + ((t - t0) / Math.max(1, t1 - t0)) * (right - left);
    const scales = {
      percent: (v) => bottom - (v / topPercent) * (bottom - top),
      waiting: (v) => bottom - (v / topWaiting) * (bottom - top),
    };
    c.textAlign = 'right';
    c.fillText(Math.round(topPercent) + ' %', left - 6, top + 10);
    c.fillText('0', left - 6, bottom);
    c.textAlign = 'left';
    c.fillText(String(topWaiting), right + 6, top + 10);
    c.fillText('0', right + 6, bottom);
    c.textAlign = 'center';
    c.fillText('tick ' + t0, left + 30, h - 8);
    c.fillText('tick ' + t1, right - 30, h - 8);
    c.lineWidth = 2;
    for (const { key, colour, scale } of SERIES) {
      const y = scales[scale];
      c.strokeStyle = colour;
      c.beginPath();
      let pen = false;
      // At most two points per pixel column.
      const stride = Math.max(1, Math.floor(samples.length / ((right - left) * 2)));
      for (let i = 0; i < samples.length; i += stride) {
        const v = samples[i][key];
        if (v === null) {
          pen = false;
          continue;
        }
        if (pen) c.lineTo(x(samples[i][0]), y(v));
        else c.moveTo(x(samples[i][0]), y(v));
        pen = true;
      }
      c.stroke();
    }
    const last = samples[samples.length - 1];
    note.textContent = `tick ${last[0]}: utilisation ${last[1].toFixed(1)} %, efficiency ` +
      (last[2] === null ? '–' : last[2].toFixed(1) + ' %') + `, ${last[3]} waiting`;
  }

  // A new size in CSS pixels at a density of devicePixels per CSS pixel.
  function resize(cssWidth, cssHeight, devicePixels) {
    width = cssWidth;
    height = cssHeight;
    ratio = devicePixels;
    canvas.style.width = cssWidth + 'px';
    canvas.style.height = cssHeight + 'px';
    canvas.width = Math.round(cssWidth * devicePixels);
    canvas.height = Math.round(cssHeight * devicePixels);
    draw();
  }

  return { fetch, draw, resize, samples: () => samples.length };
}
