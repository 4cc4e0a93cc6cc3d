// The page's front end: it mirrors Form1's table of controls onto elements,
// forwards every user action to Form1 through the module's entry points,
// runs the clock at Timer1's interval and paints what the tick draws.  Every
// rule of the simulation stays in the module; this file only shows and
// forwards.
'use strict';

(async function () {
  const TWIPS = 15; // twips to a CSS pixel
  // The classic desktop palette, for colours given as system-colour codes
  // (high bit set, palette index in the low byte).
  const SYSTEM = [
    0xc0c0c0, 0x808000, 0x800000, 0x808080, 0xc0c0c0, 0xffffff, 0x000000, 0x000000, 0x000000,
    0xffffff, 0xc0c0c0, 0xd6dcde, 0x808080, 0x800000, 0xffffff, 0xc0c0c0, 0x808080, 0x808080,
    0x000000, 0xc0c0c0, 0xffffff, 0x000000, 0xdfdfdf, 0x000000, 0xe1ffff];

  // A packed red + 256 * green + 65536 * blue value as a CSS colour.
  function css(c) {
    if (c < 0) c = SYSTEM[c & 0xff] ?? 0;
    const hex = (v) => v.toString(16).padStart(2, '0');
    return '#' + hex(c & 255) + hex((c >> 8) & 255) + hex((c >> 16) & 255);
  }
  const px = (twips) => twips / TWIPS;

  const module = await createMaclab();
  const fn = (name, result, args) => module.cwrap('maclab_' + name, result, args);
  const api = {
    load: fn('load', 'number', []),
    form: fn('form', 'string', []),
    controls: fn('controls', 'string', []),
    changes: fn('changes', 'string', []),
    draws: fn('draws', 'string', []),
    click: fn('click', 'number', ['string', 'number']),
    toggle: fn('toggle', 'number', ['string']),
    pick: fn('pick', 'number', ['string', 'string']),
    edit: fn('edit', 'number', ['string', 'string']),
    key: fn('key', 'number', ['string']),
    tick: fn('tick', 'number', []),
    timerEnabled: fn('timer_enabled', 'number', []),
    timerInterval: fn('timer_interval', 'number', []),
    show: fn('show', 'string', []),
    history: fn('history', 'string', ['number']),
  };
  api.load();

  const form = JSON.parse(api.form());
  const table = JSON.parse(api.controls());
  const stage = document.getElementById('stage');
  const formBox = document.getElementById('form');
  const canvas = document.getElementById('medium');
  const svg = document.getElementById('picture');
  const chart = document.getElementById('chart');
  const W = px(form.width), H = px(form.height);
  const CHART_H = 210, BAR_H = 36;
  formBox.style.width = W + 'px';
  formBox.style.height = H + 'px';
  formBox.style.background = css(form.back);
  for (const el of [canvas, svg]) {
    el.style.width = W + 'px';
    el.style.height = H + 'px';
  }
  svg.setAttribute('viewBox', `0 0 ${form.width} ${form.height}`);
  chart.style.width = W + 'px';
  document.getElementById('below').style.width = W + 'px';
  chart.style.height = CHART_H + 'px';

  // ----- The controls -----
  const SVG = 'http://www.w3.org/2000/svg';
  const entries = table.map((entry) => ({ ...entry, el: null, shown: {} }));

  function makeCombo(entry) {
    const box = document.createElement('div');
    box.className = 'combo';
    const input = document.createElement('input');
    input.type = 'text';
    input.spellcheck = false;
    input.autocomplete = 'off';
    input.setAttribute('aria-label', entry.name);
    const open = document.createElement('button');
    open.className = 'open';
    open.type = 'button';
    open.tabIndex = -1;
    open.textContent = '\u25bc';
    open.setAttribute('aria-label', 'open the list');
    const list = document.createElement('ul');
    list.hidden = true;
    box.append(input, open, list);
    // Keystrokes, pastes and deletions: the text-change handler, once each.
    input.addEventListener('input', () => {
      api.edit(entry.name, input.value);
      sync();
    });
    // The list from the keyboard: Alt+Down opens it, Up and Down move through
    // it, Enter picks the entry shown, Escape closes it.
    input.addEventListener('keydown', (e) => {
      const open = !list.hidden;
      if (e.key === 'Escape' && open) {
        closeLists();
      } else if (e.key === 'ArrowDown' && e.altKey) {
        if (!open) openList(entry);
      } else if ((e.key === 'ArrowDown' || e.key === 'ArrowUp') && open) {
        const items = [...list.children];
        const at = items.findIndex((li) => li.classList.contains('current'));
        const next = Math.max(0, Math.min(items.length - 1,
          at < 0 ? 0 : at + (e.key === 'ArrowDown' ? 1 : -1)));
        items.forEach((li, k) => li.classList.toggle('current', k === next));
        items[next]?.scrollIntoView({ block: 'nearest' });
      } else if (e.key === 'Enter' && open) {
        const current = list.querySelector('.current');
        closeLists();
        if (current) {
          api.pick(entry.name, current.dataset.entry);
          sync();
        }
      } else {
        return;
      }
      e.preventDefault();
    });
    open.addEventListener('mousedown', (e) => e.preventDefault());
    open.addEventListener('click', () => (list.hidden ? openList(entry) : closeLists()));
    // A pick from the list: only the list-pick handler runs.
    list.addEventListener('mousedown', (e) => e.preventDefault());
    list.addEventListener('click', (e) => {
      const item = e.target.closest('li');
      if (!item) return;
      closeLists();
      api.pick(entry.name, item.dataset.entry);
      sync();
    });
    entry.input = input;
    entry.list = list;
    return box;
  }

  function openList(entry) {
    closeLists();
    for (const li of entry.list.children)
      li.classList.toggle('current', li.dataset.entry === entry.input.value);
    entry.list.hidden = false;
    entry.el.style.zIndex = 5;
    const current = entry.list.querySelector('.current');
    if (current) current.scrollIntoView({ block: 'nearest' });
  }
  function closeLists() {
    for (const e of entries)
      if (e.list && !e.list.hidden) {
        e.list.hidden = true;
        e.el.style.zIndex = '';
      }
  }
  document.addEventListener('mousedown', (e) => {
    if (!e.target.closest('.combo')) closeLists();
  });

  function makeElement(entry) {
    let el;
    switch (entry.type) {
      case 'label':
        el = document.createElement('div');
        el.className = 'label';
        break;
      case 'button':
      case 'toggle':
        el = document.createElement('button');
        el.type = 'button';
        el.className = entry.type;
        el.addEventListener('click', (e) => {
          if (entry.type === 'toggle') api.toggle(entry.name);
          else api.click(entry.name, entry.index);
          // A mouse click leaves no focus behind, so Space stays the Pause key.
          if (e.detail > 0) el.blur();
          sync();
        });
        break;
      case 'combo':
        el = makeCombo(entry);
        break;
      case 'shape':
        el = document.createElementNS(SVG, entry.state.circle ? 'ellipse' : 'rect');
        break;
      case 'line':
        el = document.createElementNS(SVG, 'line');
        el.setAttribute('stroke-linecap', 'round');
        break;
    }
    el.dataset.name = entry.name;
    if (entry.index >= 0) el.dataset.index = entry.index;
    if (entry.type === 'shape' || entry.type === 'line') {
      el.classList.add('tip');
      el.appendChild(document.createElementNS(SVG, 'title'));
      svg.appendChild(el);
    } else {
      formBox.appendChild(el);
    }
    entry.el = el;
  }
  for (const entry of entries) makeElement(entry);

  function place(el, s) {
    el.style.left = px(s.left) + 'px';
    el.style.top = px(s.top) + 'px';
    el.style.width = px(s.width) + 'px';
    el.style.height = px(s.height) + 'px';
  }
  // Points at 96 dots per inch, the density the twip layout assumes.  The
  // layout was made for a narrow face ("Packet Length" fits its 153-pixel
  // label); a wider face is made smaller until it fits too.
  const narrowing = (() => {
    const probe = document.createElement('canvas').getContext('2d');
    probe.font = '24px ' + getComputedStyle(formBox).fontFamily;
    const width = probe.measureText('Packet Length').width;
    return width > 148 ? Math.max(0.75, 148 / width) : 1;
  })();
  const fontPx = (points) => ((points * 96) / 72) * narrowing + 'px';

  // Shows one control's state; only what differs from what is shown is touched.
  function apply(entry, s) {
    const was = entry.shown, el = entry.el;
    const changed = (...keys) => keys.some((k) => was[k] !== s[k]);
    if (entry.type === 'shape' || entry.type === 'line') {
      applyPicture(entry, s);
    } else {
      if (changed('left', 'top', 'width', 'height')) place(el, s);
      if (changed('font')) el.style.fontSize = fontPx(s.font);
      if (changed('visible')) el.style.display = s.visible ? '' : 'none';
      if (changed('tip')) el.title = s.tip;
      if (entry.type === 'label') {
        if (changed('caption')) el.textContent = s.caption;
        if (changed('back')) el.style.background = css(s.back);
        if (changed('fore')) el.style.color = css(s.fore);
      } else if (entry.type === 'button' || entry.type === 'toggle') {
        if (changed('caption')) el.textContent = s.caption;
        if (entry.name === 'cmdNode') {
          el.classList.add('node');
          if (changed('back')) el.style.background = css(s.back);
        }
        if (entry.type === 'toggle' && changed('value')) {
          el.classList.toggle('on', s.value === 1);
          el.setAttribute('aria-pressed', s.value === 1 ? 'true' : 'false');
        }
      } else if (entry.type === 'combo') {
        if (changed('fore')) el.style.color = css(s.fore);
        if (JSON.stringify(was.list) !== JSON.stringify(s.list)) {
          entry.list.replaceChildren(
            ...s.list.map((text) => {
              const li = document.createElement('li');
              li.textContent = text;
              li.dataset.entry = text;
              return li;
            }));
        }
        if (entry.input.value !== s.text) entry.input.value = s.text;
      }
    }
    entry.shown = s;
  }

  function applyPicture(entry, s) {
    const el = entry.el;
    el.style.display = s.visible ? '' : 'none';
    el.firstChild.textContent = s.tip;
    const width = Math.max(1, s.borderWidth) * TWIPS;
    if (entry.type === 'line') {
      el.setAttribute('x1', s.x1);
      el.setAttribute('y1', s.y1);
      el.setAttribute('x2', s.x2);
      el.setAttribute('y2', s.y2);
      el.setAttribute('stroke', css(s.border));
      el.setAttribute('stroke-width', width);
    } else if (s.circle) {
      // A circle as large as the shorter side, centred, its border inside.
      const d = Math.min(s.width, s.height);
      el.setAttribute('cx', s.left + s.width / 2);
      el.setAttribute('cy', s.top + s.height / 2);
      el.setAttribute('rx', Math.max(0, d / 2 - width / 2));
      el.setAttribute('ry', Math.max(0, d / 2 - width / 2));
      el.setAttribute('fill', s.solid ? css(s.fill) : 'none');
      el.setAttribute('stroke', css(s.border));
      el.setAttribute('stroke-width', width);
    } else {
      el.setAttribute('x', s.left + TWIPS / 2);
      el.setAttribute('y', s.top + TWIPS / 2);
      el.setAttribute('width', Math.max(0, s.width - TWIPS));
      el.setAttribute('height', Math.max(0, s.height - TWIPS));
      el.setAttribute('fill', css(s.back));
      el.setAttribute('stroke', css(s.border));
      el.setAttribute('stroke-width', TWIPS);
    }
  }

  // ----- The drawing surface -----
  // The rings are set pixel by pixel into an image of the canvas, crisp and
  // without antialiased fringes, so that a ring drawn again in another colour
  // leaves nothing of the old one.  Every ring and bus segment drawn since the
  // last clear is kept, the latest at each place last, so that the picture can
  // be painted again at another size.
  const drawn = new Map();
  const ctx = canvas.getContext('2d', { alpha: false });
  let ratio = 1; // device pixels per twip
  let image = null, pixels = null; // the canvas's pixels, one 32-bit word each
  let dirty = null; // [left, top, right, bottom] device pixels not yet shown

  const word = (c) => {
    if (c < 0) c = SYSTEM[c & 0xff] ?? 0;
    // Little-endian RGBA words: red in the lowest byte, as the packed colour.
    return ((c & 0xffffff) | 0xff000000) >>> 0;
  };
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
    fillBox(0, 0, image.width, image.height, word(form.back));
    const m = form.medium;
    fillBox(Math.round(m.left * ratio), Math.round(m.top * ratio),
      Math.round((m.left + m.width) * ratio), Math.round((m.top + m.height) * ratio),
      word(m.back));
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
        (size + 2.5) * unit, word(colour === form.silence ? form.medium.back : colour));
    } else {
      // A black box from (x - 240, y - 30) to (x + 240, y + 10), both corners inside.
      const [, x, y] = op;
      fillBox(Math.floor((x - 240) * ratio), Math.floor((y - 30) * ratio),
        Math.floor((x + 240 + TWIPS) * ratio), Math.floor((y + 10 + TWIPS) * ratio), word(0));
    }
  }
  function show() {
    if (!dirty) return;
    const [l, t, r, b] = dirty;
    ctx.putImageData(image, 0, 0, l, t, r - l, b - t);
    dirty = null;
  }
  function paintAll() {
    image = ctx.createImageData(canvas.width, canvas.height);
    pixels = new Uint32Array(image.data.buffer);
    paintBlank();
    for (const op of drawn.values()) paintOne(op);
    show();
  }
  function paintDraws(calls) {
    for (let k = 0; k < calls.length;) {
      const kind = calls[k];
      if (kind === 0) {
        drawn.clear();
        paintBlank();
        k += 1;
      } else if (kind === 1) {
        const op = calls.slice(k, k + 5);
        const key = `r${op[1]},${op[2]},${op[3]}`;
        drawn.delete(key);
        drawn.set(key, op);
        paintOne(op);
        k += 5;
      } else if (kind === 2) {
        const op = calls.slice(k, k + 3);
        const key = `b${op[1]},${op[2]}`;
        drawn.delete(key);
        drawn.set(key, op);
        paintOne(op);
        k += 3;
      } else {
        k += 3; // a control to draw again: the picture's shapes always lie above
      }
    }
    show();
  }

  // ----- The chart of the run over time -----
  const samples = []; // [tick, utilisation, efficiency, waiting]
  let fetched = 0; // samples numbered below this have been fetched
  let chartDirty = true, chartQueued = false;
  const chartCtx = chart.getContext('2d');

  function fetchHistory() {
    const h = JSON.parse(api.history(fetched));
    if (h.added < fetched) {
      // The network was reset: the history starts again.
      samples.length = 0;
      fetched = 0;
      chartDirty = true;
      return fetchHistory();
    }
    if (h.samples.length) {
      samples.push(...h.samples);
      if (samples.length > 10000) samples.splice(0, samples.length - 10000);
      chartDirty = true;
    }
    fetched = h.added;
    if (chartDirty && !chartQueued) {
      chartQueued = true;
      requestAnimationFrame(drawChart);
    }
  }

  function drawChart() {
    chartQueued = false;
    chartDirty = false;
    const c = chartCtx, w = W, h = CHART_H;
    c.setTransform(chartRatio, 0, 0, chartRatio, 0, 0);
    c.fillStyle = '#f6f5f0';
    c.fillRect(0, 0, w, h);
    const left = 50, right = w - 60, top = 10, bottom = h - 28;
    c.strokeStyle = '#808084';
    c.lineWidth = 1;
    c.strokeRect(left, top, right - left, bottom - top);
    c.font = '13px "Liberation Sans", Arimo, Arial, sans-serif';
    c.fillStyle = '#000';
    const note = document.getElementById('chartnote');
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
    const yPercent = (v) => bottom - (v / topPercent) * (bottom - top);
    const yWaiting = (v) => bottom - (v / topWaiting) * (bottom - top);
    c.textAlign = 'right';
    c.fillText(Math.round(topPercent) + ' %', left - 6, top + 10);
    c.fillText('0', left - 6, bottom);
    c.textAlign = 'left';
    c.fillText(String(topWaiting), right + 6, top + 10);
    c.fillText('0', right + 6, bottom);
    c.textAlign = 'center';
    c.fillText('tick ' + t0, left + 30, h - 8);
    c.fillText('tick ' + t1, right - 30, h - 8);
    const series = [
      [1, '#0050c8', yPercent],
      [2, '#008040', yPercent],
      [3, '#b03000', yWaiting],
    ];
    c.lineWidth = 2;
    for (const [k, colour, y] of series) {
      c.strokeStyle = colour;
      c.beginPath();
      let pen = false;
      // At most two points per pixel column.
      const stride = Math.max(1, Math.floor(samples.length / ((right - left) * 2)));
      for (let i = 0; i < samples.length; i += stride) {
        const v = samples[i][k];
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

  // ----- Showing the model -----
  function sync() {
    for (const [k, state] of JSON.parse(api.changes())) apply(entries[k], state);
    paintDraws(JSON.parse(api.draws()));
    fetchHistory();
    syncClock();
  }

  // ----- The clock: Timer1 at its interval -----
  let clock = null, clockInterval = 0, due = 0;
  function fire() {
    if (clock !== null) clearTimeout(clock);
    clock = null;
    api.tick();
    sync();
  }
  function syncClock() {
    const enabled = api.timerEnabled() === 1;
    const interval = Math.max(1, api.timerInterval());
    if (!enabled) {
      if (clock !== null) clearTimeout(clock);
      clock = null;
      return;
    }
    const now = performance.now();
    if (clock !== null && interval === clockInterval) return;
    if (clock !== null) clearTimeout(clock);
    // Each firing is due one interval after the last one was due, so the
    // clock keeps its rate however long a tick takes.
    due = clockInterval === interval && due > now - interval ? due + interval : now + interval;
    clockInterval = interval;
    clock = setTimeout(fire, Math.max(0, due - now));
  }

  // ----- Keys -----
  const KEYS = { ' ': 'Space', ArrowRight: 'Right' };
  document.addEventListener('keydown', (e) => {
    if (e.key === 'F11') {
      e.preventDefault();
      toggleFullScreen();
      return;
    }
    if (e.ctrlKey || e.altKey || e.metaKey || e.repeat && e.key !== 'ArrowRight') return;
    // Never while typing in a box, nor on a focused button's own Space or Enter.
    const target = e.target;
    if (target.closest && target.closest('.combo')) return;
    if (target.tagName === 'BUTTON' && (e.key === ' ' || e.key === 'Enter')) return;
    const name = KEYS[e.key] ?? (e.key.length === 1 ? e.key.toUpperCase() : '');
    if (!/^(Space|Right|[A-Z])$/.test(name)) return;
    if (api.key(name) !== 0) {
      e.preventDefault();
      sync();
    }
  });

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  }
  document.getElementById('fullscreen').addEventListener('click', (e) => {
    toggleFullScreen();
    if (e.detail > 0) e.currentTarget.blur();
  });

  // ----- Scaling to the browser window -----
  let chartRatio = 1;
  function fit() {
    const totalH = H + BAR_H + CHART_H;
    const scale = Math.min(window.innerWidth / W, window.innerHeight / totalH);
    const left = Math.max(0, (window.innerWidth - W * scale) / 2);
    stage.style.transform = `translate(${left}px, 0) scale(${scale})`;
    const dpr = window.devicePixelRatio || 1;
    canvas.width = Math.round(W * scale * dpr);
    canvas.height = Math.round(H * scale * dpr);
    ratio = canvas.width / form.width;
    paintAll();
    chart.width = Math.round(W * scale * dpr);
    chart.height = Math.round(CHART_H * scale * dpr);
    chartRatio = chart.width / W;
    drawChart();
  }
  window.addEventListener('resize', fit);
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', fit);

  fit();
  sync();
  stage.classList.add('ready');
  document.getElementById('loading').remove();

  // For the browser tests: the module's entry points, the clock's firings
  // one after another, and what the surface holds now.
  window.maclab = {
    api,
    ticks(n) {
      for (let k = 0; k < n; ++k) fire();
    },
    // Rings [1, x, y, size, colour] and bus segments [2, x, y], oldest first.
    drawing: () => [...drawn.values()],
    ratio: () => ratio,
    form,
    samples: () => samples.length,
    ready: true,
  };
})();
