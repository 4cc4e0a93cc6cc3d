// The program's table of controls mirrored onto elements: one element per
// entry, brought up to date from the states the program hands out, and every
// user action on them forwarded to the program's own entry points.
import { css } from './colours.js';

export const TWIPS = 15; // twips to a CSS pixel
export const px = (twips) => twips / TWIPS;
const SVG = 'http://www.w3.org/2000/svg';

// host: the element the controls stand in; picture: the SVG the shapes and
// lines are drawn in; act(): called after every action forwarded.
export function createControls({ api, table, host, picture, act }) {
  const entries = table.map((entry) => ({ ...entry, el: null, shown: {} }));

  // An editable box with its list, as a combobox: the text field announces
  // whether its list is open and which entry is current; the list button
  // is in the tab order after it.
  function makeCombo(entry) {
    const box = document.createElement('div');
    box.className = 'combo';
    const input = document.createElement('input');
    input.type = 'text';
    input.spellcheck = false;
    input.autocomplete = 'off';
    input.id = `${entry.name}-text`;
    input.setAttribute('role', 'combobox');
    input.setAttribute('aria-autocomplete', 'none');
    input.setAttribute('aria-expanded', 'false');
    const open = document.createElement('button');
    open.className = 'open';
    open.type = 'button';
    open.textContent = '\u25bc';
    open.setAttribute('aria-expanded', 'false');
    const list = document.createElement('ul');
    list.id = `${entry.name}-list`;
    list.setAttribute('role', 'listbox');
    list.hidden = true;
    input.setAttribute('aria-controls', list.id);
    open.setAttribute('aria-controls', list.id);
    box.append(input, open, list);
    // Keystrokes, pastes and deletions: the text-change handler, once each.
    input.addEventListener('input', () => {
      api.edit(entry.name, input.value);
      act();
    });
    // The list from the keyboard: Alt+Down opens it, Up and Down move through
    // it, Enter picks the entry shown, Escape closes it; Escape with the list
    // closed ends the typing, so that the keys work the run controls again.
    input.addEventListener('keydown', (e) => {
      const open = !list.hidden;
      if (e.key === 'Escape' && open) {
        closeLists();
      } else if (e.key === 'Escape') {
        input.blur();
      } else if (e.key === 'ArrowDown' && e.altKey) {
        if (!open) openList(entry);
      } else if ((e.key === 'ArrowDown' || e.key === 'ArrowUp') && open) {
        const items = [...list.children];
        const at = items.findIndex((li) => li.classList.contains('current'));
        const next = Math.max(0, Math.min(items.length - 1,
          at < 0 ? 0 : at + (e.key === 'ArrowDown' ? 1 : -1)));
        markCurrent(entry, items[next]);
      } else if (e.key === 'Enter' && open) {
        const current = list.querySelector('.current');
        closeLists();
        if (current) {
          api.pick(entry.name, current.dataset.entry);
          act();
        }
      } else {
        return;
      }
      e.preventDefault();
    });
    open.addEventListener('mousedown', (e) => e.preventDefault());
    open.addEventListener('click', (e) => {
      if (!list.hidden) {
        closeLists();
        return;
      }
      openList(entry);
      // From the keyboard, on to the text, where the arrows move through the list.
      if (e.detail === 0) input.focus();
    });
    // A pick from the list: only the list-pick handler runs.
    list.addEventListener('mousedown', (e) => e.preventDefault());
    list.addEventListener('click', (e) => {
      const item = e.target.closest('li');
      if (!item) return;
      closeLists();
      api.pick(entry.name, item.dataset.entry);
      act();
    });
    entry.input = input;
    entry.open = open;
    entry.list = list;
    return box;
  }

  function markCurrent(entry, item) {
    for (const li of entry.list.children) {
      li.classList.toggle('current', li === item);
      li.setAttribute('aria-selected', li === item ? 'true' : 'false');
    }
    if (item) {
      entry.input.setAttribute('aria-activedescendant', item.id);
      item.scrollIntoView({ block: 'nearest' });
    } else {
      entry.input.removeAttribute('aria-activedescendant');
    }
  }
  function setOpen(entry, open) {
    entry.list.hidden = !open;
    entry.el.classList.toggle('listed', open);
    entry.input.setAttribute('aria-expanded', String(open));
    entry.open.setAttribute('aria-expanded', String(open));
    if (!open) entry.input.removeAttribute('aria-activedescendant');
  }
  function openList(entry) {
    closeLists();
    setOpen(entry, true);
    markCurrent(entry, [...entry.list.children].find((li) => li.dataset.entry === entry.input.value));
  }
  function closeLists() {
    for (const e of entries) if (e.list && !e.list.hidden) setOpen(e, false);
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
        entry.text = el.appendChild(document.createElement('span'));
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
          act();
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
    if (entry.type !== 'shape' && entry.type !== 'line')
      el.id = entry.index >= 0 ? `${entry.name}-${entry.index}` : entry.name;
    if (entry.type === 'shape' || entry.type === 'line') {
      el.classList.add('tip');
      el.appendChild(document.createElementNS(SVG, 'title'));
      picture.appendChild(el);
    } else {
      host.appendChild(el);
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
    probe.font = '24px ' + getComputedStyle(host).fontFamily;
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
        if (changed('caption')) entry.text.textContent = s.caption;
        if (changed('back')) el.style.background = css(s.back);
        if (changed('fore')) el.style.color = css(s.fore);
      } else if (entry.type === 'button' || entry.type === 'toggle') {
        if (changed('caption')) el.textContent = s.caption;
        if (entry.name === 'cmdNode') {
          el.classList.add('node');
          if (changed('back')) el.style.background = css(s.back);
          if (changed('fore')) el.style.color = css(s.fore);
          // Its number alone says little: "Station 5", as its tooltip begins.
          if (changed('tip')) el.setAttribute('aria-label', s.tip.split(':')[0]);
        }
        if (entry.type === 'toggle' && changed('value')) {
          el.classList.toggle('on', s.value === 1);
          el.setAttribute('aria-pressed', s.value === 1 ? 'true' : 'false');
        }
      } else if (entry.type === 'combo') {
        if (changed('fore')) el.style.color = css(s.fore);
        if (JSON.stringify(was.list) !== JSON.stringify(s.list)) {
          entry.list.replaceChildren(
            ...s.list.map((text, k) => {
              const li = document.createElement('li');
              li.textContent = text;
              li.dataset.entry = text;
              li.id = `${entry.name}-${k}`;
              li.setAttribute('role', 'option');
              li.setAttribute('aria-selected', 'false');
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

  // The states that changed, as the program hands them out: [position, state] pairs.
  function applyChanges(changes) {
    for (const [k, state] of changes) apply(entries[k], state);
  }

  return { entries, applyChanges, closeLists };
}
