// The C++ program, compiled to WebAssembly (maclab.js, loaded before this
// module as a classic script that defines createMaclab): its entry points as
// plain functions.  Everything the page shows comes from here as JSON, and
// every user action goes back through here.
export async function startProgram() {
  const module = await globalThis.createMaclab();
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
    symbols: fn('symbols', 'string', []),
    historyChart: fn('history_chart', 'string', ['number', 'string']),
    sweepSettings: fn('sweep_settings', 'string', []),
    sweepOffered: fn('sweep_offered', 'string', []),
    sweepBegin: fn('sweep_begin', null,
      ['string', 'string', 'number', 'number', 'number', 'number', 'number']),
    sweepAdd: fn('sweep_add', null,
      ['number', 'number', 'number', 'number', 'number', 'number', 'number', 'number']),
    sweepChart: fn('sweep_chart', 'string', ['number']),
  };
  api.load();
  return api;
}
