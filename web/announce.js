// A polite live region for people who listen to the page: the tick and the
// totals, spoken when the listener is free.  While the network runs it is
// brought up to date every few seconds, not every tick; after a user action
// at once.
const EVERY = 4000; // ms between updates while ticking

export function installAnnouncer(region, summary) {
  let last = '', lastAt = -Infinity, timer = null;
  function write() {
    clearTimeout(timer);
    timer = null;
    const text = summary();
    if (text !== last) region.textContent = last = text;
    lastAt = performance.now();
  }
  // soon: a user action, said at once; otherwise at most every few seconds.
  return function update(soon) {
    if (soon || performance.now() - lastAt >= EVERY) write();
    else if (timer === null) timer = setTimeout(write, lastAt + EVERY - performance.now());
  };
}
