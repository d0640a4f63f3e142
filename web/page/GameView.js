// What the player sees: the window built once from the model's layout, then what the model says
// changed after each step: the pictures that moved, the boxes' and the caption's new texts, and
// the end of the program.
import { PixelPictures } from './PixelPictures.js';

const alignments = { left: 'flex-start', right: 'flex-end', center: 'center' };

const px = (n) => `${n}px`;
const placeStyle = ({ left, top, width, height }) => ({ left: px(left), top: px(top), width: px(width), height: px(height) });

export class GameView {
  constructor(doc, layout) {
    this.doc = doc;
    const { form } = layout;
    this.width = form.width;
    this.height = form.height;
    this.texts = layout.texts;
    // The tab says the game's name; the window's own caption stays in its title bar.
    doc.getElementById('title').textContent = form.caption;
    const area = doc.getElementById('area');
    Object.assign(area.style, { width: px(form.width), height: px(form.height), background: form.colour });

    this.caption = doc.getElementById('caption');
    const caption = layout.captions[0];
    if (caption) {
      // Red on lavender is the game's own look; its contrast is left as the game has it.
      Object.assign(this.caption.style, placeStyle(caption), {
        background: caption.back, color: caption.fore,
        justifyContent: alignments[caption.alignment] ?? 'flex-start',
        fontFamily: [...caption.fontFamilies.map((f) => `"${f}"`), 'sans-serif'].join(', '),
        fontSize: px(caption.pixelSize),
        fontWeight: String(caption.weight), // the model clamps it to what fonts know
        fontStyle: caption.italic ? 'italic' : 'normal',
        textDecoration: [caption.underline && 'underline', caption.strikeOut && 'line-through'].filter(Boolean).join(' ') || 'none',
      });
    }

    this.boxes = layout.boxes.map((box) => {
      const input = doc.createElement('input');
      Object.assign(input, { type: 'text', id: box.name, autocomplete: 'off', spellcheck: false, tabIndex: 0 });
      Object.assign(input.style, placeStyle(box));
      const label = doc.createElement('label');
      label.htmlFor = box.name;
      label.className = 'visually-hidden';
      label.textContent = box.accessibleName || box.name;
      return [box.tabIndex, label, input];
    });
    // The boxes stand in the page in the layout's tab order, which the Tab key then follows.
    this.tabOrder = this.boxes.slice().sort((a, b) => a[0] - b[0]).map(([, label, input]) => { area.append(label, input); return input; });
    this.boxes = this.boxes.map(([, , input]) => input);

    this.canvas = doc.getElementById('pictures');
    this.pictures = new PixelPictures(layout.pictures);
    this.sizes = layout.pictures;
    this.places = [];
    this.dirty = [];
    this.scale = 1;
  }

  // Device pixels per logical pixel: the screen's ratio times the fit.
  get ratio() { return devicePixelRatio * this.scale; }

  rescale(scale) {
    this.scale = scale;
    this.canvas.width = Math.round(this.width * this.ratio);
    this.canvas.height = Math.round(this.height * this.ratio);
    Object.assign(this.canvas.style, { width: px(this.width), height: px(this.height) });
    if (this.places.length > 0) this.draw();
  }

  // Follows the screen's own ratio, which changes when the window moves to another screen.
  watchRatio() {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
      this.rescale(this.scale);
      this.watchRatio();
    }, { once: true });
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

  // Shows what the model says changed, and nothing else: a box or the caption it does not name
  // is left alone, so a word being composed in one box survives the countdown in the other.
  show(view) {
    const first = this.places.length === 0 && view.moved.length > 0; // every picture comes: drawn at once
    // Each moved picture is drawn again where it was and where it is, one pixel wider for the
    // blended edge at fractional ratios.
    for (const { picture, before, after } of view.moved) {
      const { width, height } = this.sizes[picture];
      this.places[picture] = { left: after[0], top: after[1] };
      for (const [left, top] of [before, after]) this.dirty.push({ left: left - 1, top: top - 1, width: width + 2, height: height + 2 });
    }
    // The screen shows a frame at a time: moves between two frames are drawn once.
    if (first) {
      this.dirty = [];
      this.rescale(this.scale); // the canvas takes its size even where the fit never changes from 1
    } else if (!this.drawPending && this.dirty.length > 0) {
      this.drawPending = true;
      requestAnimationFrame(() => {
        this.drawPending = false;
        this.draw(this.dirty);
        this.dirty = [];
      });
    }
    view.texts.forEach((text, i) => { if (text !== null) this.boxes[i].value = text; });
    if (view.captions[0] != null) this.caption.textContent = view.captions[0];
    if (view.gameOver) this.doc.getElementById('announcement').textContent = this.texts.gameOver;
  }
}

// エンド, or a runtime error after its report: the program is over.
export function showEnd(doc, view) {
  const over = () => {
    doc.getElementById('window').hidden = true;
    doc.getElementById('ended').hidden = false;
    doc.documentElement.dataset.status = String(view.status);
    // The focus goes to the end page's heading, which a screen reader then reads.
    doc.getElementById('ended-title').focus();
  };
  if (!view.error) return over();
  const dialog = doc.getElementById('error');
  doc.getElementById('error-title').textContent = view.error.title;
  doc.getElementById('error-text').textContent = view.error.text;
  dialog.addEventListener('close', over, { once: true });
  dialog.showModal();
}
