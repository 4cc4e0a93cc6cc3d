// The keyboard and the full-screen button: the program's keys (its table
// says which key works which control), never while typing in a box.
const KEYS = { ' ': 'Space', ArrowRight: 'Right' };

export function installInput({ api, act }) {
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
    if (target.tagName === 'INPUT') return;
    if (target.tagName === 'BUTTON' && (e.key === ' ' || e.key === 'Enter')) return;
    const name = KEYS[e.key] ?? (e.key.length === 1 ? e.key.toUpperCase() : '');
    if (!/^(Space|Right|[A-Z])$/.test(name)) return;
    if (api.key(name) !== 0) {
      e.preventDefault();
      act();
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
}

// Tooltips by touch: a finger held still on a control for half a second
// shows what the pointer would show resting on it; the press then does
// nothing else, and the next touch anywhere puts the tip away.
export function installTouchTips() {
  const bubble = document.createElement('div');
  bubble.id = 'tip';
  bubble.setAttribute('role', 'tooltip');
  bubble.hidden = true;
  (document.querySelector('main') ?? document.body).append(bubble);
  let timer = null, start = null, shownAt = 0;

  const tipOf = (el) => {
    for (let e = el; e && e.nodeType === 1; e = e.parentNode) {
      if (e.title) return e.title;
      const title = e.namespaceURI === 'http://www.w3.org/2000/svg' && e.querySelector(':scope > title');
      if (title && title.textContent) return title.textContent;
    }
    return '';
  };
  function show(text, x, y) {
    bubble.textContent = text;
    bubble.hidden = false;
    const w = bubble.offsetWidth, h = bubble.offsetHeight;
    const left = Math.max(4, Math.min(window.innerWidth - w - 4, x - w / 2));
    const top = y - h - 28 >= 4 ? y - h - 28 : Math.min(window.innerHeight - h - 4, y + 28);
    bubble.style.left = left + 'px';
    bubble.style.top = top + 'px';
    shownAt = performance.now();
  }
  function cancel() {
    clearTimeout(timer);
    timer = null;
  }
  document.addEventListener('pointerdown', (e) => {
    bubble.hidden = true;
    cancel();
    if (e.pointerType === 'mouse') return;
    start = { x: e.clientX, y: e.clientY, target: e.target };
    timer = setTimeout(() => {
      timer = null;
      const text = tipOf(start.target);
      if (text) show(text, start.x, start.y);
    }, 500);
  }, true);
  document.addEventListener('pointermove', (e) => {
    if (timer && Math.hypot(e.clientX - start.x, e.clientY - start.y) > 10) cancel();
  }, true);
  document.addEventListener('pointerup', cancel, true);
  document.addEventListener('pointercancel', cancel, true);
  document.addEventListener('scroll', () => {
    bubble.hidden = true;
  }, true);
  // The press that showed a tip neither clicks nor opens the browser's menu.
  const swallow = (e) => {
    if (!bubble.hidden && performance.now() - shownAt < 5000) {
      e.preventDefault();
      e.stopPropagation();
    }
  };
  document.addEventListener('click', swallow, true);
  document.addEventListener('contextmenu', swallow, true);
}
