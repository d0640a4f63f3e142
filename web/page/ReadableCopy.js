// The countdown, the score and the rank again, in the page's free space at a readable size, when
// the window fitted to a phone shows its own text too small to read. A copy for the eyes only: a
// screen reader hears the boxes and the caption themselves. The window itself never changes.
import { readableSpace } from './Fit.js';

// A box can hold any paste; the copy shows its start.
const LONGEST = 80;
const shortened = (text) => {
  if (text.length <= LONGEST) return text;
  const end = /[\uD800-\uDBFF]/.test(text[LONGEST - 1]) ? LONGEST - 1 : LONGEST;
  return `${text.slice(0, end)}…`;
};

export class ReadableCopy {
  // `boxes` are [{name, input}] in the order shown; `caption` the rank caption's element.
  constructor(doc, element, boxes, caption) {
    this.element = element;
    this.lines = boxes.map(({ name, input }) => {
      const line = doc.createElement('p');
      const label = doc.createElement('span');
      label.textContent = name;
      const value = doc.createElement('output');
      line.append(label, value);
      element.append(line);
      return { input, value };
    });
    this.caption = caption;
    this.rank = doc.createElement('p');
    this.rank.className = 'rank';
    element.append(this.rank);
  }

  // Placed after each fit: in the free space, or nowhere.
  place(view, shown, textPx) {
    const space = readableSpace(view, shown, textPx);
    this.element.hidden = !space;
    if (space) Object.assign(this.element.style, Object.fromEntries(Object.entries(space).map(([k, v]) => [k, `${v}px`])));
  }

  // Follows the boxes and the caption, after every step of the game and every keystroke.
  update() {
    for (const { input, value } of this.lines) {
      const text = shortened(input.value);
      if (value.textContent !== text) value.textContent = text;
    }
    if (this.rank.textContent !== this.caption.textContent) this.rank.textContent = this.caption.textContent;
  }
}
