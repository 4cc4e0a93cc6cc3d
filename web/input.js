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
