// The page's front end: shows what the model says, hands the player's input to it and drives
// its clock. The game itself, every rule of it, is the model's; every call into it goes through Model.js.
import { GameClock } from './GameClock.js';
import { Model } from './Model.js';
import { PixelPictures } from './PixelPictures.js';

const justify = { left: 'flex-start', right: 'flex-end', center: 'center' };

export class GamePage {
  constructor(module, doc) {
    this.doc = doc;
    this.model = new Model(module);
    this.clock = new GameClock(() => this.model.nextDue(), () => this.model.runDue(), () => this.sync());
    this.boxes = [];
    this.places = [];
    this.dirty = [];
  }

  start() {
    const { layout } = this.model;
    if (layout) {
      this.build(layout, this.model.view().places);
      this.model.start(); // Load runs before any tick or click
    }
    this.sync(true);
    if (!this.ended) {
      this.doc.getElementById('window').hidden = false;
      this.boxes.slice().sort((a, b) => a.tabIndex - b.tabIndex)[0]?.input.focus();
    }
  }

  build(layout, places) {
    const { doc } = this;
    const { form } = layout;
    doc.title = form.caption;
    this.width = form.width;
    this.height = form.height;
    const area = doc.getElementById('area');
    Object.assign(area.style, { width: `${form.width}px`, height: `${form.height}px`, background: form.colour });
    this.buildMenu(doc.getElementById('menubar'), layout.menu);

    const caption = doc.getElementById('caption');
    const shown = layout.captions[0];
    if (shown) {
      // The page brings the caption face's rank glyphs along under a name of their own.
      const families = shown.fontFamilies.flatMap((f) => (f === 'RocknRoll One' ? ['RocknRoll One Ranks', f] : [f]));
      Object.assign(caption.style, {
        left: `${shown.left}px`, top: `${shown.top}px`, width: `${shown.width}px`, height: `${shown.height}px`,
        background: shown.back, color: shown.fore, justifyContent: justify[shown.alignment],
        fontFamily: [...families.map((f) => `"${f}"`), 'sans-serif'].join(', '),
        fontSize: `${shown.pixelSize}px`, fontWeight: String(shown.weight), fontStyle: shown.italic ? 'italic' : 'normal',
        textDecoration: [shown.underline && 'underline', shown.strikeOut && 'line-through'].filter(Boolean).join(' ') || 'none',
      });
      this.caption = caption;
    }

    this.pictures = new PixelPictures(layout.pictures);
    this.places = places;
    this.canvas = doc.getElementById('pictures');
    this.canvas.addEventListener('pointerdown', (event) => this.press(event));
    this.watchRatio();

    layout.boxes.forEach((box, i) => this.buildBox(area, box, i));
  }

  buildMenu(bar, entries) {
    const { doc } = this;
    let menu = null;
    const close = () => bar.querySelectorAll('.menu').forEach((m) => { m.hidden = true; m.previousSibling.setAttribute('aria-expanded', 'false'); });
    entries.forEach((entry, i) => {
      const button = doc.createElement('button');
      button.type = 'button';
      button.textContent = entry.caption;
      if (entry.topLevel) {
        button.setAttribute('aria-haspopup', 'menu');
        button.setAttribute('aria-expanded', 'false');
        const list = doc.createElement('div');
        list.className = 'menu';
        list.setAttribute('role', 'menu');
        list.hidden = true;
        button.addEventListener('click', () => {
          const open = list.hidden;
          close();
          list.hidden = !open;
          button.setAttribute('aria-expanded', String(open));
          if (open) list.querySelector('button')?.focus();
        });
        bar.append(button, list);
        menu = list;
      } else if (menu) {
        button.setAttribute('role', 'menuitem');
        button.dataset.entry = String(i);
        button.addEventListener('click', () => {
          close();
          this.lastBox?.focus(); // as on the desktop, the text box gets the keyboard back
          this.call(() => this.model.choose(i));
        });
        menu.append(button);
      }
    });
    doc.addEventListener('keydown', (event) => { if (event.key === 'Escape') close(); });
    doc.addEventListener('pointerdown', (event) => { if (!bar.contains(event.target)) close(); });
  }

  buildBox(area, box, i) {
    const { doc } = this;
    const { name } = box;
    const input = doc.createElement('input');
    input.type = 'text';
    input.id = name;
    input.autocomplete = 'off';
    input.spellcheck = false;
    Object.assign(input.style, { left: `${box.left}px`, top: `${box.top}px`, width: `${box.width}px`, height: `${box.height}px` });
    const label = doc.createElement('label');
    label.htmlFor = name;
    label.className = 'visually-hidden';
    label.textContent = box.accessibleName || name;
    // Typing is input for the model; an input method's text counts once it is committed.
    const typed = () => this.call(() => this.model.type(i, input.value));
    input.addEventListener('input', (event) => { if (!event.isComposing) typed(); });
    input.addEventListener('compositionend', typed);
    input.addEventListener('focus', () => { this.lastBox = input; });
    area.append(label, input);
    this.boxes.push({ input, tabIndex: box.tabIndex });
  }

  // A press of the mouse's main button, a touch or a pen is a click at the logical pixel under it.
  press(event) {
    if (event.button !== 0) return;
    event.preventDefault(); // the text box keeps the focus, as on the desktop
    const rect = this.canvas.getBoundingClientRect();
    const x = Math.floor(event.clientX - rect.left);
    const y = Math.floor(event.clientY - rect.top);
    this.call(() => this.model.click(x, y));
  }

  watchRatio() {
    const query = matchMedia(`(resolution: ${devicePixelRatio}dppx)`);
    query.addEventListener('change', () => { this.resize(); this.watchRatio(); }, { once: true });
    this.resize();
  }

  resize() {
    this.ratio = devicePixelRatio;
    this.canvas.width = Math.round(this.width * this.ratio);
    this.canvas.height = Math.round(this.height * this.ratio);
    Object.assign(this.canvas.style, { width: `${this.width}px`, height: `${this.height}px` });
    this.draw();
  }

  // Draws the pictures again, all of them or only inside `dirty` (logical rectangles).
  draw(dirty = null) {
    const context = this.canvas.getContext('2d');
    const r = this.ratio;
    context.save();
    if (dirty) {
      context.beginPath();
      for (const { left, top, width, height } of dirty) {
        const x = Math.floor(left * r), y = Math.floor(top * r);
        context.rect(x, y, Math.ceil((left + width) * r) - x, Math.ceil((top + height) * r) - y);
      }
      context.clip();
    }
    context.clearRect(0, 0, this.canvas.width, this.canvas.height);
    this.pictures.draw(context, this.places, r);
    context.restore();
  }

  call(event) {
    event();
    this.sync();
  }

  // Shows what the model changed, then re-arms the clock or ends the page.
  sync(everything = false) {
    const view = this.model.view();
    if (view.status >= 0) return this.end(view);
    if (everything || view.moved) {
      // Only what moved is drawn again: where a picture was and where it is, one pixel wider
      // for the blended edge at fractional ratios.
      view.places.forEach((place, i) => {
        const before = this.places[i];
        if (place.left === before.left && place.top === before.top) return;
        const { width, height } = this.pictures.images[i];
        for (const { left, top } of [before, place]) this.dirty.push({ left: left - 1, top: top - 1, width: width + 2, height: height + 2 });
      });
      this.places = view.places;
      // The screen shows a frame at a time: moves between two frames are drawn once.
      if (!this.drawPending && this.dirty.length > 0) {
        this.drawPending = true;
        requestAnimationFrame(() => {
          this.drawPending = false;
          this.draw(this.dirty);
          this.dirty = [];
        });
      }
    }
    if (everything || view.textsChanged) {
      this.boxes.forEach(({ input }, i) => {
        if (input.value !== view.texts[i]) input.value = view.texts[i];
      });
    }
    if ((everything || view.captionChanged) && this.caption && this.caption.textContent !== view.captions[0]) {
      this.caption.textContent = view.captions[0];
    }
    this.clock.arm();
  }

  // エンド, or a runtime error after its report: the program is over.
  end({ status, error }) {
    this.clock.stop();
    if (this.ended) return;
    this.ended = true;
    const { doc } = this;
    const over = () => {
      doc.getElementById('window').hidden = true;
      doc.getElementById('ended').hidden = false;
      doc.documentElement.dataset.status = String(status);
    };
    if (!error) return over();
    const dialog = doc.getElementById('error');
    doc.getElementById('error-title').textContent = error.title;
    doc.getElementById('error-text').textContent = error.text;
    dialog.addEventListener('close', over, { once: true });
    dialog.showModal();
  }
}
