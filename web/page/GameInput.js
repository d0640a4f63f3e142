// The player's input, forwarded to the model as its verbs: presses on the area, typing in the
// boxes, the menu bar and the desktop's keys for it.
import { logicalPixel } from './Fit.js';

// The pointer of the player's last interaction, and whether the focus may go into a box
// unasked: a mouse comes with a keyboard; a finger or a pen does not, and the on-screen keyboard
// would cover the game.
export class LastInteraction {
  constructor(doc, coarse) {
    this.by = coarse ? 'touch' : 'mouse';
    doc.addEventListener('pointerdown', (event) => { this.by = event.pointerType; }, true);
    doc.addEventListener('keydown', () => { this.by = 'keyboard'; }, true);
  }

  get keyboard() { return this.by === 'mouse' || this.by === 'keyboard'; }
}

export class GameInput {
  // `act(verb)` runs one of the model's verbs and shows what it changed.
  constructor({ doc, canvas, boxes, width }, model, act) {
    this.canvas = canvas;
    this.width = width;
    this.model = model;
    this.act = act;
    this.lastBox = null;
    canvas.addEventListener('pointerdown', (event) => this.press(event));
    boxes.forEach((input, i) => {
      // Typing is an event for the game; an input method's text counts once it is committed.
      const typed = () => act(() => model.type(i, input.value));
      input.addEventListener('input', (event) => { if (!event.isComposing) typed(); });
      input.addEventListener('compositionend', typed);
      input.addEventListener('focus', () => { this.lastBox = input; });
    });
    // The browser's touch adjustment hands a finger or a pen that lands on the area to what is
    // near it, a box or the menu bar: that is a press on the area all the same, and what is near
    // stays out of it, neither focused nor clicked. Only a press inside a box's own rectangle is the box's.
    doc?.addEventListener('pointerdown', (event) => {
      this.strayClick = false;
      if (event.pointerType === 'mouse' || event.target === canvas) return;
      const on = (r) => event.clientX >= r.left && event.clientX < r.right && event.clientY >= r.top && event.clientY < r.bottom;
      if (!on(canvas.getBoundingClientRect()) || on(event.target.getBoundingClientRect())) return;
      this.press(event);
      this.strayClick = true;
    }, true);
    doc?.addEventListener('click', (event) => {
      if (!this.strayClick) return;
      this.strayClick = false;
      event.preventDefault();
      event.stopPropagation();
    }, true);
  }

  // A press of the mouse's main button, a finger or a pen is a click at the logical pixel under
  // it, through the window's fit.
  press(event) {
    if (event.button !== 0) return;
    event.preventDefault(); // a box keeps the focus, as on the desktop, and a finger selects nothing
    const rect = this.canvas.getBoundingClientRect();
    const scale = rect.width / this.width;
    this.act(() => this.model.click(logicalPixel(event.clientX - rect.left, scale), logicalPixel(event.clientY - rect.top, scale)));
  }
}

// The menu bar: opened and closed by a click or a tap, a tap outside closes it; the model's menu
// key opens the first menu, the arrow keys move within it and Escape gives the focus back to its
// button. A command's key, bound to the page rather than shown in the menu, chooses it.
export class MenuBar {
  constructor(doc, bar, { menu: entries, menuKey }, choose) {
    this.doc = doc;
    this.menus = [];
    let list = null;
    entries.forEach((entry, i) => {
      const button = doc.createElement('button');
      button.type = 'button';
      button.textContent = entry.caption;
      if (entry.topLevel) {
        button.setAttribute('aria-haspopup', 'menu');
        button.setAttribute('aria-expanded', 'false');
        list = doc.createElement('div');
        list.className = 'menu';
        list.setAttribute('role', 'menu');
        list.hidden = true;
        const menu = { button, list };
        button.addEventListener('click', () => (list.hidden ? this.open(menu) : this.close()));
        bar.append(button, list);
        this.menus.push(menu);
      } else if (list) {
        button.setAttribute('role', 'menuitem');
        button.addEventListener('click', () => {
          this.close();
          choose(i);
        });
        list.append(button);
      }
    });
    const keyed = Object.fromEntries(entries.flatMap((entry, i) => (entry.key ? [[entry.key, i]] : [])));
    doc.addEventListener('keydown', (event) => {
      if (keyed[event.key] >= 0) {
        event.preventDefault();
        this.close();
        choose(keyed[event.key]);
      } else if (event.key === menuKey && this.menus.length > 0) {
        event.preventDefault();
        this.open(this.menus[0]);
      } else if (bar.contains(doc.activeElement)) {
        this.move(event);
      }
    });
    doc.addEventListener('pointerdown', (event) => { if (!bar.contains(event.target)) this.close(); });
    // However the focus leaves the menu bar (Tab, a click, a box), the open menu closes with it.
    bar.addEventListener('focusout', (event) => { if (!bar.contains(event.relatedTarget)) this.close(); });
  }

  open(menu) {
    this.close();
    menu.list.hidden = false;
    menu.button.setAttribute('aria-expanded', 'true');
    menu.list.querySelector('button')?.focus();
  }

  // Closes the open menu; the focus goes back to its button if it was inside.
  close() {
    for (const { button, list } of this.menus) {
      if (list.hidden) continue;
      const inside = list.contains(this.doc.activeElement);
      list.hidden = true;
      button.setAttribute('aria-expanded', 'false');
      if (inside) button.focus();
    }
  }

  move(event) {
    const open = this.menus.find((m) => !m.list.hidden);
    const current = this.menus.findIndex((m) => m === open || m.button === this.doc.activeElement);
    const step = { ArrowDown: 1, ArrowUp: -1, ArrowRight: 1, ArrowLeft: -1 }[event.key];
    if (event.key === 'Escape') {
      this.close();
    } else if (open && step && event.key.match(/Down|Up/)) {
      const items = [...open.list.querySelectorAll('button')];
      items[(items.indexOf(this.doc.activeElement) + step + items.length) % items.length]?.focus();
    } else if (current >= 0 && event.key === 'ArrowDown') {
      this.open(this.menus[current]);
    } else if (current >= 0 && step) {
      const next = this.menus[(current + step + this.menus.length) % this.menus.length];
      if (open) this.open(next);
      else next.button.focus();
    } else {
      return;
    }
    event.preventDefault();
  }
}
