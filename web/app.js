// The page's front end: it mirrors the program's table of controls onto
// elements (controls.js), forwards every user action to the program's entry
// points (program.js), runs the clock at Timer1's interval, paints what the
// tick draws (medium.js) and charts the run (charts.js).  Every rule of the
// simulation stays in the program; the page only shows and forwards.
import { startProgram } from './program.js';
import { css } from './colours.js';
import { createControls } from './controls.js';
import { createMedium } from './medium.js';
import { createCharts } from './charts.js';
import { installInput, installTouchTips } from './input.js';
import { installLayout } from './layout.js';
import { installAnnouncer } from './announce.js';

const api = await startProgram();
performance.mark('maclab-program');
const form = JSON.parse(api.form());
const table = JSON.parse(api.controls());
const $ = (id) => document.getElementById(id);
const formBox = $('form');
formBox.style.background = css(form.back);

const controls = createControls({ api, table, host: formBox, picture: $('picture'), act: () => sync(true) });
const symbols = JSON.parse(api.symbols()); // each kind's mark, each legend row's kind
const medium = createMedium($('medium'), form, symbols.marks);
const symbolsToggle = controls.entries.find((e) => e.name === 'chkSymbols');
const chartToggle = controls.entries.find((e) => e.name === 'chkChart');
const charts = createCharts({
  api,
  shown: () => chartToggle?.shown.value === 1,
  els: {
    pane: $('charts'), area: $('chart'), note: $('chartnote'), ticks: $('ticks'),
    tabs: { time: $('tab-time'), sweep: $('tab-sweep') },
    sweepButton: $('sweep'), cancelButton: $('cancel'), progress: $('progress'),
    exports: { png: $('save-png'), svg: $('save-svg'), csv: $('save-csv') },
  },
});

// ----- Showing the model -----
// byUser: after a user action, rather than a tick.
function sync(byUser = false) {
  controls.applyChanges(JSON.parse(api.changes()));
  medium.showSymbols(symbolsToggle?.shown.value === 1);
  medium.paintDraws(JSON.parse(api.draws()));
  charts.update();
  layout?.update();
  announce?.(byUser);
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

installInput({ api, act: () => sync(true) });
installTouchTips();
let layout = null, announce = null;
sync();
layout = installLayout({
  form, controls, medium, symbols,
  symbolsOn: () => symbolsToggle?.shown.value === 1,
  els: {
    stage: $('stage'), view: $('view'), formBox, canvas: $('medium'), picture: $('picture'),
    panel: $('panel'), below: $('below'), charts: $('charts'),
  },
});
announce = installAnnouncer($('live'), layout.summary);
sync();
$('stage').classList.add('ready');
performance.mark('maclab-ready');
$('loading').remove();

// Installable, and opening without a network after the first visit; the
// worker is registered once the page is up, so that it never slows the start.
if ('serviceWorker' in navigator && location.protocol !== 'file:')
  navigator.serviceWorker.register('sw.js').catch(() => {});

// For the browser tests: the module's entry points, the clock's firings
// one after another, and what the surface holds now.
window.maclab = {
  api,
  ticks(n) {
    for (let k = 0; k < n; ++k) fire();
  },
  drawing: medium.drawing,
  // Drawing calls as the program would make them, straight to the canvas.
  paint: (calls) => medium.paintDraws(calls),
  symbols,
  ratio: medium.ratio,
  form,
  charts,
  layout: () => layout.mode(),
  sync,
  ready: true,
};
