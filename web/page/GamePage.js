// The page's front end: shows what the model says, forwards the player's input to it as
// events and drives its clock. The game itself, every rule of it, is the model's.
import { GameClock } from './GameClock.js';
import { PixelPictures } from './PixelPictures.js';

const Change = { PicturesMoved: 1, TextsWritten: 2, CaptionWritten: 4, Ended: 8 };
// What the boxes are for the player, told to assistive technology.
const boxLabels = { Text1: '得点', Text2: '残り時間' };
const alignments = ['flex-start', 'flex-end', 'center'];

// Stored colours keep red in the low byte.
function cssColour(bgr) {
  return `rgb(${bgr & 0xff} ${(bgr >>> 8) & 0xff} ${(bgr >>> 16) & 0xff})`;
}

function bindModel(module) {
  const f = (name, result, args) => module.cwrap(`namoro_${name}`, result, args);
  const names = {
    create: ['number', []], start: [null, ['number']], next_due: ['number', ['number']],
    run_due: [null, ['number']], click: [null, ['number', 'number', 'number']],
    menu: [null, ['number', 'number']], type: [null, ['number', 'number', 'string']],
    take_changes: ['number', ['number']], status: ['number', ['number']],
    error_number: ['number', ['number']], error_message: ['string', ['number']],
    form_caption: ['string', ['number']], form_colour: ['number', ['number']],
    form_width: ['number', ['number']], form_height: ['number', ['number']],
    menu_count: ['number', ['number']], menu_caption: ['string', ['number', 'number']],
    menu_top_level: ['number', ['number', 'number']],
    picture_count: ['number', ['number']], picture_name: ['string', ['number', 'number']], picture_left: ['number', ['number', 'number']],
    picture_top: ['number', ['number', 'number']], picture_width: ['number', ['number', 'number']],
    picture_height: ['number', ['number', 'number']], picture_pixels: ['number', ['number', 'number']],
    box_count: ['number', ['number']], box_name: ['string', ['number', 'number']],
    box_text: ['string', ['number', 'number']], box_tab_index: ['number', ['number', 'number']],
    box_rect: ['number', ['number', 'number', 'number']],
    label_count: ['number', ['number']], label_caption: ['string', ['number', 'number']],
    label_rect: ['number', ['number', 'number', 'number']], label_back_colour: ['number', ['number', 'number']],
    label_fore_colour: ['number', ['number', 'number']], label_alignment: ['number', ['number', 'number']],
    label_font_family: ['string', ['number', 'number']], label_font_points: ['number', ['number', 'number']],
    label_font_weight: ['number', ['number', 'number']],
  };
  const api = {};
  for (const [name, [result, args]] of Object.entries(names)) api[name] = f(name, result, args);
  return api;
}

export class GamePage {
  constructor(module, doc) {
    this.module = module;
    this.doc = doc;
    this.api = bindModel(module);
    this.game = this.api.create();
    this.clock = new GameClock(() => this.api.next_due(this.game), () => this.api.run_due(this.game), () => this.sync());
    this.boxes = [];
    this.places = [];
    this.dirty = [];
  }

  start() {
    if (this.api.status(this.game) < 0) {
      this.build();
      this.api.start(this.game); // Load runs before any tick or click
    }
    this.sync(true);
    if (this.api.status(this.game) < 0) {
      this.doc.getElementById('window').hidden = false;
      this.boxes.slice().sort((a, b) => a.tabIndex - b.tabIndex)[0]?.input.focus();
    }
  }

  build() {
    const { api, game, doc } = this;
    doc.title = api.form_caption(game);
    this.width = api.form_width(game);
    this.height = api.form_height(game);
    const area = doc.getElementById('area');
    Object.assign(area.style, { width: `${this.width}px`, height: `${this.height}px`, background: cssColour(api.form_colour(game)) });
    this.buildMenu(doc.getElementById('menubar'));

    const caption = doc.getElementById('caption');
    if (api.label_count(game) > 0) {
      const [left, top, width, height] = [0, 1, 2, 3].map((side) => api.label_rect(game, 0, side));
      const family = api.label_font_family(game);
      Object.assign(caption.style, {
        left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px`,
        background: cssColour(api.label_back_colour(game)), color: cssColour(api.label_fore_colour(game)),
        justifyContent: alignments[api.label_alignment(game)] ?? 'flex-start',
        fontFamily: `${family ? `"${family}", ` : ''}"RocknRoll One Ranks", "RocknRoll One", "Noto Sans CJK JP", sans-serif`,
        fontSize: `${Math.round(api.label_font_points(game) * 96 / 72)}px`,
        fontWeight: String(Math.min(900, Math.max(100, api.label_font_weight(game)))),
      });
    }
    this.caption = caption;

    const pictures = [];
    for (let i = 0; i < api.picture_count(game); ++i) {
      const width = api.picture_width(game, i);
      const height = api.picture_height(game, i);
      const at = api.picture_pixels(game, i);
      pictures.push({ width, height, argb: this.module.HEAPU8.slice(at, at + width * height * 4) });
    }
    this.pictures = new PixelPictures(pictures);
    this.places = pictures.map((_, i) => ({ left: api.picture_left(game, i), top: api.picture_top(game, i) }));
    this.canvas = doc.getElementById('pictures');
    this.canvas.addEventListener('pointerdown', (event) => this.press(event));
    this.watchRatio();

    for (let i = 0; i < api.box_count(game); ++i) this.buildBox(area, i);
  }

  buildMenu(bar) {
    const { api, game, doc } = this;
    let menu = null;
    const close = () => bar.querySelectorAll('.menu').forEach((m) => { m.hidden = true; m.previousSibling.setAttribute('aria-expanded', 'false'); });
    for (let i = 0; i < api.menu_count(game); ++i) {
      const button = doc.createElement('button');
      button.type = 'button';
      button.textContent = api.menu_caption(game, i);
      if (api.menu_top_level(game, i)) {
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
          this.call(() => api.menu(game, i));
        });
        menu.append(button);
      }
    }
    doc.addEventListener('keydown', (event) => { if (event.key === 'Escape') close(); });
    doc.addEventListener('pointerdown', (event) => { if (!bar.contains(event.target)) close(); });
  }

  buildBox(area, i) {
    const { api, game, doc } = this;
    const name = api.box_name(game, i);
    const input = doc.createElement('input');
    input.type = 'text';
    input.id = name;
    input.autocomplete = 'off';
    input.spellcheck = false;
    const [left, top, width, height] = [0, 1, 2, 3].map((side) => api.box_rect(game, i, side));
    Object.assign(input.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px` });
    const label = doc.createElement('label');
    label.htmlFor = name;
    label.className = 'visually-hidden';
    label.textContent = boxLabels[name] ?? name;
    // Typing is an event for the game; an input method's text counts once it is committed.
    const typed = () => this.call(() => api.type(game, i, input.value));
    input.addEventListener('input', (event) => { if (!event.isComposing) typed(); });
    input.addEventListener('compositionend', typed);
    input.addEventListener('focus', () => { this.lastBox = input; });
    area.append(label, input);
    this.boxes.push({ input, tabIndex: api.box_tab_index(game, i) });
  }

  // A press of the mouse's main button, a touch or a pen is a click at the logical pixel under it.
  press(event) {
    if (event.button !== 0) return;
    event.preventDefault(); // the text box keeps the focus, as on the desktop
    const rect = this.canvas.getBoundingClientRect();
    const x = Math.floor(event.clientX - rect.left);
    const y = Math.floor(event.clientY - rect.top);
    this.call(() => this.api.click(this.game, x, y));
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
    const { api, game } = this;
    const changes = everything ? ~0 : api.take_changes(game);
    if (everything) api.take_changes(game);
    if (api.status(game) >= 0) return this.end();
    if (changes & Change.PicturesMoved) {
      const places = this.pictures.images.map((_, i) => ({ left: api.picture_left(game, i), top: api.picture_top(game, i) }));
      // Only what moved is drawn again: where a picture was and where it is, one pixel wider
      // for the blended edge at fractional ratios.
      places.forEach((place, i) => {
        const before = this.places[i];
        if (place.left === before.left && place.top === before.top) return;
        const { width, height } = this.pictures.images[i];
        for (const { left, top } of [before, place]) this.dirty.push({ left: left - 1, top: top - 1, width: width + 2, height: height + 2 });
      });
      this.places = places;
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
    if (changes & Change.TextsWritten) {
      this.boxes.forEach(({ input }, i) => {
        const text = api.box_text(game, i);
        if (input.value !== text) input.value = text;
      });
    }
    if ((changes & Change.CaptionWritten) && this.caption) {
      const text = api.label_caption(game, 0);
      if (this.caption.textContent !== text) this.caption.textContent = text;
    }
    this.clock.arm();
  }

  // エンド, or a runtime error after its report: the program is over.
  end() {
    this.clock.stop();
    if (this.ended) return;
    this.ended = true;
    const { api, game, doc } = this;
    const over = () => {
      doc.getElementById('window').hidden = true;
      doc.getElementById('ended').hidden = false;
      doc.documentElement.dataset.status = String(api.status(game));
    };
    const number = api.error_number(game);
    if (number === 0) return over();
    const dialog = doc.getElementById('error');
    doc.getElementById('error-text').textContent = `実行時エラー '${number}':\n\n${api.error_message(game)}`;
    dialog.addEventListener('close', over, { once: true });
    dialog.showModal();
  }
}
