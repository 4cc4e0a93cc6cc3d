// Fitting the page to the screen.  On a screen about 900 CSS pixels wide or
// more, the program's window as it is designed (15 twips to a CSS pixel),
// scaled uniformly to fit, with the charts beside it while they are shown.  On a narrower one (a
// phone, a tablet held upright) the network fills the width (or, turned
// sideways, the height) and every other control stands in a touch panel
// beside or below it, in groups, large enough to tap, scrolling up and down
// only.  Both arrangements hold the same elements; turning the device or
// resizing the window moves them from one to the other.
import { css, luminance } from './colours.js';
import { TWIPS } from './controls.js';

export const BAR_H = 36, CHARTS_W = 900;
const ink = (c) => (luminance(c) > 0.18 ? '#000' : '#fff'); // text that reads on a colour
const WIDE = 900, TALL = 500; // the smallest window the designed layout is shown in
const STATION_ARRAY = 24; // arrays of this many members belong to the stations

// The rows of a set of boxes as the eye reads them: each box joins the row
// whose first box its middle lies beside, rows top to bottom, boxes left to right.
function readingOrder(items, box) {
  const rows = [];
  for (const item of [...items].sort((a, b) => box(a).top - box(b).top)) {
    const b = box(item), middle = b.top + b.height / 2;
    const row = rows.find((r) => middle >= r.top && middle <= r.bottom);
    if (row) row.items.push(item);
    else rows.push({ top: b.top, bottom: b.top + Math.max(b.height, 1), items: [item] });
  }
  for (const row of rows) row.items.sort((a, b) => box(a).left - box(b).left);
  return rows.map((r) => r.items);
}
const overlapRows = (a, b) => a.top < b.top + b.height && b.top < a.top + a.height;

// Sorts the table's controls (other than the picture's shapes and lines) into
// the groups of the touch panel, and gives all of them their reading order.
function arrange(entries) {
  const box = (e) => e.state;
  const station = (e) => e.index >= 0 && e.count >= STATION_ARRAY;
  const own = entries.filter((e) => e.type !== 'shape' && e.type !== 'line');
  const shapes = entries.filter((e) => e.type === 'shape');
  const labels = own.filter((e) => e.type === 'label' && !station(e));
  const used = new Set();
  // A caption: a label on the row of a box or a figure that says what it says.
  const captionsOf = (e) => labels.filter((l) => !used.has(l) && l.state.tip === e.state.tip &&
    l.state.tip !== '' && overlapRows(box(l), box(e)));

  const settings = own.filter((e) => e.type === 'combo').map((combo) => {
    const captions = captionsOf(combo);
    captions.forEach((l) => used.add(l));
    return {
      combo,
      before: captions.filter((l) => l.state.left < combo.state.left),
      after: captions.filter((l) => l.state.left >= combo.state.left),
    };
  });
  // The legend: labels with a swatch (a shape just left of them on their row).
  const legend = [];
  for (const l of labels) {
    if (used.has(l)) continue;
    const swatch = shapes.find((s) => !station(s) && overlapRows(box(s), box(l)) &&
      Math.abs(s.state.left + s.state.width - l.state.left) <= 200);
    if (swatch) {
      legend.push({ label: l, swatch });
      used.add(l);
    }
  }
  const buttons = own.filter((e) => e.type === 'button' && !station(e));
  // Labels on the row of a run button (the tick) go with the buttons.
  const runLabels = labels.filter((l) => !used.has(l) && buttons.some((b) => overlapRows(box(l), box(b))));
  runLabels.forEach((l) => used.add(l));
  const run = readingOrder([...buttons, ...runLabels], box).flat();
  const toggles = readingOrder(own.filter((e) => e.type === 'toggle'), box).flat();
  const totals = readingOrder(labels.filter((l) => !used.has(l)), box);
  const stations = [];
  for (const e of own.filter(station)) (stations[e.index] ??= []).push(e);
  // Each station's button first, then what it shows.
  for (const members of stations) members.sort((a, b) => (b.type === 'button') - (a.type === 'button'));

  // The designed window, read from the top row down: the top row, the
  // network's stations in their order, then the column at the right.
  const topRow = own.filter((e) => !station(e) && e.state.top < 660);
  const right = own.filter((e) => !station(e) && e.state.top >= 660);
  const classic = [...readingOrder(topRow, box).flat(), ...stations.flat(),
    ...readingOrder(right, box).flat()];
  return { settings, legend, run, toggles, totals, stations, classic };
}

export function installLayout({ form, controls, medium, symbols, symbolsOn, els }) {
  const { stage, view, formBox, canvas, picture, panel, below, charts } = els;
  const W = form.width / TWIPS, H = form.height / TWIPS;
  const m = form.medium;
  const groups = arrange(controls.entries);
  formBox.style.width = W + 'px';
  formBox.style.height = H + 'px';
  for (const el of [canvas, picture]) {
    el.style.width = W + 'px';
    el.style.height = H + 'px';
  }
  picture.setAttribute('viewBox', `0 0 ${form.width} ${form.height}`);
  // Later entries of the table stack above earlier ones, whatever their place
  // in the reading order.
  controls.entries.forEach((e, k) => {
    if (e.type !== 'shape' && e.type !== 'line') e.el.style.zIndex = k + 1;
  });

  // ----- The touch panel's groups, made once -----
  const section = (name, cls) => {
    const s = document.createElement('section');
    s.className = 'group ' + cls;
    s.setAttribute('aria-label', name);
    const h = s.appendChild(document.createElement('h2'));
    h.textContent = name;
    return s;
  };
  const div = (cls, ...children) => {
    const d = document.createElement('div');
    d.className = cls;
    d.append(...children);
    return d;
  };
  // Each box is named by its captions ("Offered Traffic x NetCap"), its
  // list button after them.
  for (const { combo, before, after } of groups.settings) {
    const captions = [...before, ...after];
    if (!captions.length) continue;
    combo.input.setAttribute('aria-labelledby', captions.map((e) => e.el.id).join(' '));
    combo.open.setAttribute('aria-label',
      `${before.concat(after)[0].state.caption.replace(/:\s*$/, '')} list`);
  }

  const runGroup = section('Run', 'run');
  const totalsGroup = section('Totals', 'totals');
  const stationsGroup = section('Stations', 'stations');
  const settingsGroup = section('Settings', 'settings');
  const togglesGroup = section('Options', 'toggles');
  const legendGroup = section('Legend', 'legend');
  const chartGroup = section('Chart', 'chart');
  const cards = groups.stations.map(() => div('card'));
  const swatches = groups.legend.map(({ label }) => {
    const s = document.createElement('span');
    s.className = 'swatch';
    s.setAttribute('aria-hidden', 'true');
    label.el.prepend(s);
    return s;
  });
  // The legend's marks over its swatches in the designed window.
  const legendMarks = groups.legend.map(({ swatch }) => {
    const t = document.createElementNS('http://www.w3.org/2000/svg', 'text');
    t.setAttribute('text-anchor', 'middle');
    t.setAttribute('dominant-baseline', 'central');
    t.setAttribute('font-weight', 'bold');
    t.setAttribute('font-family', '"Liberation Sans", Arimo, Arial, sans-serif');
    t.setAttribute('aria-hidden', 'true');
    t.style.pointerEvents = 'none';
    t.textContent = symbols.marks[symbols.legend[swatch.index]] ?? '';
    picture.append(t);
    return t;
  });

  function toTouch() {
    runGroup.append(div('row', ...groups.run.map((e) => e.el)));
    totalsGroup.append(...groups.totals.map((row) => {
      // The row's widest label in the designed window is its caption.
      const caption = row.reduce((a, b) => (b.state.width > a.state.width ? b : a));
      caption.el.classList.add('caption');
      return div('row', ...row.map((e) => e.el));
    }));
    groups.stations.forEach((members, i) => cards[i].append(...members.map((e) => e.el)));
    stationsGroup.append(div('cards', ...cards));
    // Each box with its caption first and any unit after it.
    settingsGroup.append(...groups.settings.map(({ combo, before, after }) => {
      const lead = before.length ? before : after.slice(0, 1);
      const trail = after.filter((e) => !lead.includes(e));
      lead.forEach((e) => e.el.classList.add('lead'));
      trail.forEach((e) => e.el.classList.add('trail'));
      return div('field', ...lead.map((e) => e.el), combo.el, ...trail.map((e) => e.el));
    }));
    togglesGroup.append(div('row', ...groups.toggles.map((e) => e.el)));
    legendGroup.append(...groups.legend.map(({ label }) => label.el));
    chartGroup.append(charts);
    panel.append(runGroup, totalsGroup, stationsGroup, settingsGroup, togglesGroup, legendGroup,
      chartGroup, below);
  }
  function toClassic() {
    for (const e of controls.entries) e.el.classList?.remove('caption', 'lead', 'trail');
    formBox.append(...groups.classic.map((e) => e.el));
    panel.replaceChildren();
    stage.append(charts, below);
  }

  // What the panel shows follows the controls: a station's card goes with
  // its button, the legend with its labels, each swatch shows its colour.
  let chartsShown = null;
  function update() {
    // The charts come and go with their toggle: the page is laid out again.
    if (chartsShown !== !charts.hidden) {
      chartsShown = !charts.hidden;
      if (mode !== null) fit();
    }
    const on = symbolsOn();
    groups.legend.forEach(({ swatch }, k) => {
      const t = legendMarks[k], st = swatch.shown;
      t.style.display = on && st.visible ? '' : 'none';
      t.setAttribute('x', st.left + st.width / 2);
      t.setAttribute('y', st.top + st.height / 2);
      t.setAttribute('font-size', Math.min(st.width, st.height) * 0.72);
      t.setAttribute('fill', ink(st.fill ?? 0));
    });
    if (mode !== 'touch') return;
    groups.stations.forEach((members, i) => {
      cards[i].hidden = members.find((e) => e.type === 'button')?.shown.visible === false;
    });
    document.body.classList.toggle('status-shown',
      groups.stations.some((members) => members.slice(1).some((e) => e.shown.visible)));
    chartGroup.hidden = charts.hidden;
    legendGroup.hidden = groups.legend.every(({ label }) => label.shown.visible === false);
    groups.legend.forEach(({ swatch }, k) => {
      const mark = on ? legendMarks[k].textContent : '';
      swatches[k].textContent = mark;
      swatches[k].style.color = ink(swatch.shown.fill ?? 0);
      swatches[k].style.background = css(swatch.shown.fill ?? 0);
    });
  }

  let mode = null;
  function fit() {
    const width = window.innerWidth, height = window.innerHeight;
    const dpr = window.devicePixelRatio || 1;
    const want = width >= WIDE && height >= TALL ? 'classic' : 'touch';
    if (want !== mode) {
      controls.closeLists();
      // Moving the focused control would drop its focus: it keeps it.
      const focused = document.activeElement;
      document.body.classList.toggle('touch', want === 'touch');
      if (want === 'touch') toTouch();
      else toClassic();
      mode = want;
      update();
      if (focused && focused !== document.body && document.activeElement !== focused)
        focused.focus({ preventScroll: true });
    }
    if (mode === 'classic') {
      view.style.cssText = '';
      panel.style.cssText = '';
      formBox.style.transform = '';
      formBox.style.clipPath = '';
      // The charts, when shown, beside the network as in the window.
      const cw = charts.hidden ? 0 : CHARTS_W;
      charts.style.cssText = cw ? `width:${cw}px;height:${H}px` : '';
      below.style.width = W + cw + 'px';
      const scale = Math.min(width / (W + cw), height / (H + BAR_H));
      const left = Math.max(0, (width - (W + cw) * scale) / 2);
      stage.style.transform = `translate(${left}px, 0) scale(${scale})`;
      medium.resize(Math.round(W * scale * dpr), Math.round(H * scale * dpr));
      return;
    }
    // The network's area (the medium) as large as it goes: across the top
    // when the screen stands upright, down the left side when it lies.
    stage.style.transform = '';
    const mw = m.width / TWIPS, mh = m.height / TWIPS;
    const upright = height >= width;
    const vw = upright ? width : Math.round(Math.min(width * 0.55, (height * mw) / mh));
    const vh = upright ? Math.round(Math.min(height * 0.55, (width * mh) / mw)) : height;
    const scale = Math.min(vw / mw, vh / mh);
    const ox = (vw - mw * scale) / 2 - (m.left / TWIPS) * scale;
    const oy = (vh - mh * scale) / 2 - (m.top / TWIPS) * scale;
    view.style.cssText = `width:${vw}px;height:${vh}px`;
    formBox.style.transform = `translate(${ox}px, ${oy}px) scale(${scale})`;
    // Only the network's area shows (not the legend beside it, say).
    formBox.style.clipPath = `inset(${m.top / TWIPS}px ${W - (m.left + m.width) / TWIPS}px ` +
      `${H - (m.top + m.height) / TWIPS}px ${m.left / TWIPS}px)`;
    panel.style.cssText = upright ? `width:${width}px;height:${height - vh}px`
      : `width:${width - vw}px;height:${height}px`;
    medium.resize(Math.round(W * scale * dpr), Math.round(H * scale * dpr));
    charts.style.cssText = '';
    below.style.width = '';
  }
  window.addEventListener('resize', fit);
  // A change of pixel density (the window moved to another screen, a zoom).
  let density = null;
  function watchDensity() {
    density?.removeEventListener('change', onDensity);
    density = matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
    density.addEventListener('change', onDensity);
  }
  function onDensity() {
    watchDensity();
    fit();
  }
  watchDensity();
  fit();
  // What a listener hears now and then: the tick and the totals, row by row.
  function summary() {
    const text = (e) => (e.shown.visible === false ? '' : e.shown.caption.trim());
    const rows = [groups.run.filter((e) => e.type === 'label'), ...groups.totals];
    return rows.map((row) => row.map(text).filter(Boolean).join(' ')).filter(Boolean).join(', ');
  }
  return { fit, update, summary, mode: () => mode };
}
