// One worker of a sweep: an instance of the program of its own, which runs
// the points it is given one after another, posting its progress as it goes.
'use strict';
importScripts('maclab.js');
const ready = createMaclab();
self.onmessage = async (event) => {
  const module = await ready;
  const { index, s, offered } = event.data;
  const text = module.ccall('maclab_sweep_point', 'string',
    ['string', 'string', 'number', 'number', 'number', 'number', 'number', 'number'],
    [s.scheme, s.topology, s.stations, s.reliable, s.random, s.length, s.ticks, offered]);
  self.postMessage({ index, point: JSON.parse(text) });
};
