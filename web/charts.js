// The charts beside the network while "Chart" is pressed, as the window has
// them: the run over time, and throughput and efficiency against offered
// traffic with a sweep over maclab-sweep's list of offered traffic.  Every
// chart and table is written by the program (src/sweep, the same code as
// maclab-sweep's and the window's export); the page shows it, runs the
// sweep's points in Web Workers (one per processor core, each with an
// instance of the program of its own) and saves what it shows.
const REDRAW = 500; // ms between two drawings of the run over time

// The SVG text as an element (without its XML declaration).
function svgElement(text) {
  const doc = new DOMParser().parseFromString(text, 'image/svg+xml');
  const svg = document.importNode(doc.documentElement, true);
  svg.removeAttribute('width');
  svg.removeAttribute('height');
  svg.setAttribute('role', 'img');
  return svg;
}

function download(name, blob) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

// A picture of an SVG text, at twice its size.
async function png(text) {
  const img = new Image();
  img.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(text);
  await img.decode();
  const canvas = document.createElement('canvas');
  canvas.width = img.width * 2;
  canvas.height = img.height * 2;
  canvas.getContext('2d').drawImage(img, 0, 0, canvas.width, canvas.height);
  return new Promise((ok) => canvas.toBlob(ok, 'image/png'));
}

export function createCharts({ api, els, shown }) {
  const { pane, area, note, tabs, ticks, sweepButton, cancelButton, progress, exports } = els;
  let page = 'time';
  let lastDrawn = -Infinity, timer = null, drawnAdded = -1;
  let sweep = null; // the sweep under way: workers, points, progress
  let sweepChart = null; // {svg, csv} of the last finished sweep

  function showPage(name) {
    page = name;
    for (const [key, tab] of Object.entries(tabs)) {
      tab.setAttribute('aria-selected', String(key === name));
      tab.tabIndex = key === name ? 0 : -1;
    }
    pane.dataset.page = name;
    drawnAdded = -1;
    draw();
  }
  tabs.time.addEventListener('click', () => showPage('time'));
  tabs.sweep.addEventListener('click', () => showPage('sweep'));

  function historyText(svg) {
    return api.historyChart(svg ? 1 : 0, 'The run over time');
  }
  function draw() {
    clearTimeout(timer);
    timer = null;
    lastDrawn = performance.now();
    if (page === 'time') {
      drawnAdded = JSON.parse(api.history(Number.MAX_SAFE_INTEGER)).added;
      area.replaceChildren(svgElement(historyText(true)));
      area.firstChild.setAttribute('aria-label', 'The run over time: utilisation, efficiency and waiting packets');
      note.textContent = '';
    } else if (sweepChart) {
      area.replaceChildren(svgElement(sweepChart.svg));
      area.firstChild.setAttribute('aria-label', 'Throughput and efficiency against offered traffic');
    } else {
      area.replaceChildren();
      if (!sweep) note.textContent = 'Sweep runs this network at every offered traffic of the list.';
    }
  }
  // After every tick or action: the run over time is drawn again when it has
  // new samples, at most every REDRAW ms.
  function update() {
    const on = shown();
    if (pane.hidden === on) {
      pane.hidden = !on;
      if (on) draw();
    }
    if (!on || page !== 'time') return;
    const added = JSON.parse(api.history(Number.MAX_SAFE_INTEGER)).added;
    if (added === drawnAdded || timer !== null) return;
    const wait = lastDrawn + REDRAW - performance.now();
    if (wait <= 0) draw();
    else timer = setTimeout(draw, wait);
  }

  // ----- The sweep -----
  function startSweep() {
    if (sweep) return;
    const s = JSON.parse(api.sweepSettings());
    if (s.why) {
      note.textContent = s.why;
      return;
    }
    s.ticks = Math.max(100, Math.round(Number(ticks.value) || 100000));
    const offered = JSON.parse(api.sweepOffered());
    const count = Math.max(1, Math.min(navigator.hardwareConcurrency || 2, offered.length));
    sweep = { s, offered, points: [], next: 0, done: 0, running: new Map(), workers: [] };
    sweepChart = null;
    progress.max = s.ticks * offered.length;
    progress.value = 0;
    sweepButton.hidden = true;
    cancelButton.hidden = false;
    progress.hidden = false;
    note.textContent = `${s.scheme} on ${s.topology}, ${s.stations} stations: ${offered.length} points ` +
      `of ${s.ticks} ticks on ${count} workers`;
    draw();
    for (let w = 0; w < count; ++w) {
      const worker = new Worker('sweep-worker.js');
      sweep.workers.push(worker);
      worker.onmessage = (e) => onWorker(worker, e.data);
      worker.onerror = () => stopSweep('A worker failed; the sweep is stopped.');
      give(worker);
    }
  }
  function give(worker) {
    if (sweep.next >= sweep.offered.length) return;
    const index = sweep.next++;
    sweep.running.set(worker, 0);
    worker.postMessage({ index, s: sweep.s, offered: sweep.offered[index] });
  }
  function onWorker(worker, data) {
    if (!sweep) return;
    if (data.progress !== undefined) {
      sweep.running.set(worker, data.progress);
    } else {
      sweep.points[data.index] = data.point;
      sweep.done += 1;
      sweep.running.set(worker, 0);
      if (sweep.done === sweep.offered.length) {
        finishSweep();
        return;
      }
      give(worker);
    }
    let ticksDone = sweep.done * sweep.s.ticks;
    for (const t of sweep.running.values()) ticksDone += t;
    progress.value = ticksDone;
  }
  function finishSweep() {
    const { s, points } = sweep;
    api.sweepBegin(s.scheme, s.topology, s.stations, s.reliable, s.random, s.length, s.ticks);
    for (const p of points)
      api.sweepAdd(p.offered, p.ticks, p.queued, p.sent, p.received, p.backlog, p.utilisation, p.efficiency);
    sweepChart = { svg: api.sweepChart(1), csv: api.sweepChart(0) };
    stopSweep(`${s.scheme} on ${s.topology}, ${s.stations} stations, ${s.ticks} ticks a point.`);
  }
  function stopSweep(message) {
    if (!sweep) return;
    for (const w of sweep.workers) w.terminate();
    sweep = null;
    sweepButton.hidden = false;
    cancelButton.hidden = true;
    progress.hidden = true;
    note.textContent = message;
    draw();
  }
  sweepButton.addEventListener('click', startSweep);
  cancelButton.addEventListener('click', () => stopSweep('Cancelled.'));

  // ----- Export: the chart on view as a picture, or its numbers -----
  async function save(kind) {
    const time = page === 'time';
    if (!time && !sweepChart) {
      note.textContent = 'Nothing to save yet: run a sweep first.';
      return;
    }
    const base = time ? 'maclab-over-time' : 'maclab-sweep';
    if (kind === 'csv') {
      download(base + '.csv', new Blob([time ? historyText(false) : sweepChart.csv], { type: 'text/csv' }));
      return;
    }
    const svg = time ? historyText(true) : sweepChart.svg;
    if (kind === 'svg') download(base + '.svg', new Blob([svg], { type: 'image/svg+xml' }));
    else download(base + '.png', await png(svg));
  }
  for (const [kind, button] of Object.entries(exports)) button.addEventListener('click', () => save(kind));

  pane.hidden = true;
  showPage('time');
  return {
    update,
    running: () => sweep !== null,
    sweepText: () => sweepChart,
  };
}
