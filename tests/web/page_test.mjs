// The page's modules without a browser: a fake timer, a fake model and fake elements.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GameClock } from '../../web/page/GameClock.js';
import { GameInput, LastInteraction } from '../../web/page/GameInput.js';
import { readableSpace } from '../../web/page/Fit.js';
import { ReadableCopy } from '../../web/page/ReadableCopy.js';
import { GameView } from '../../web/page/GameView.js';

const element = () => ({ style: {}, on: {}, append() {}, setAttribute() {}, addEventListener(type, run) { this.on[type] = run; } });

test('the clock arms its one timer for the next due time, then again after each run', () => {
  const armed = [];
  let due = 1046.875;
  const clock = new GameClock(() => due, () => { due += 15.625; }, () => clock.arm(),
    { now: () => 1000, set: (run, ms) => armed.push({ run, ms }), clear: () => {} });
  clock.arm();
  clock.arm();
  armed[0].run();
  assert.deepEqual(armed.map((a) => a.ms), [47, 63]);
});

test('a press is a click at the logical pixel under it, rounded down through the fit', () => {
  for (const [scale, left, x, expected] of [[1, 8, 12.75, 12], [390 / 652, 3.25, 7 * 390 / 652, 7], [0.5, 0, 68.999 / 2, 68], [0.5, 0, 69 / 2, 69]]) {
    const clicks = [];
    const canvas = { ...element(), getBoundingClientRect: () => ({ left, top: 0, width: 650 * scale }) };
    const input = new GameInput({ canvas, boxes: [], width: 650 }, { click: (...at) => clicks.push(at) }, (verb) => verb());
    canvas.on.pointerdown({ button: 0, clientX: left + x, clientY: 0, preventDefault() {} });
    assert.deepEqual(clicks, [[expected, 0]], `scale ${scale}, ${x} px in`);
  }
});

test('only the main button, a finger or a pen clicks; a right or middle press scores nothing', () => {
  for (const [pointerType, button, clicks] of [['mouse', 0, 1], ['touch', 0, 1], ['pen', 0, 1], ['mouse', 1, 0], ['mouse', 2, 0], ['pen', 2, 0]]) {
    const clicked = [];
    const canvas = { ...element(), getBoundingClientRect: () => ({ left: 0, top: 0, width: 650 }) };
    new GameInput({ canvas, boxes: [], width: 650 }, { click: (...at) => clicked.push(at) }, (verb) => verb());
    canvas.on.pointerdown({ pointerType, button, clientX: 10, clientY: 10, preventDefault() {} });
    assert.equal(clicked.length, clicks, `${pointerType}, button ${button}`);
  }
});

test('an input method\'s text reaches the model once committed', () => {
  const typed = [], box = element();
  new GameInput({ canvas: element(), boxes: [box], width: 650 }, { type: (...t) => typed.push(t) }, (verb) => verb());
  box.value = 'にほん';
  box.on.input({ isComposing: true });
  box.on.compositionend({});
  assert.deepEqual(typed, [[0, 'にほん']]);
});

test('the caption and the boxes follow the model, and the time running out is announced', () => {
  const elements = {};
  const doc = { getElementById: (id) => (elements[id] ??= element()), createElement: element };
  globalThis.devicePixelRatio = 1;
  const view = new GameView(doc, {
    form: { caption: 'Form1', colour: 'lavender', width: 650, height: 536 }, pictures: [], texts: { gameOver: '時間切れ' },
    boxes: [{ name: 'Text1', tabIndex: 0 }], captions: [{ alignment: 'center', fontFamilies: [], pixelSize: 21, weight: 700 }],
  });
  view.show({ moved: [], texts: ['0'], captions: ['凸'] });
  view.show({ moved: [], texts: ['300'], captions: ['ナモロ'], gameOver: true });
  assert.deepEqual([view.boxes[0].value, elements.caption.textContent, elements.announcement.textContent], ['300', 'ナモロ', '時間切れ']);
});

test('only a mouse or the keys let the focus go into a box unasked; a finger or a pen do not', () => {
  const doc = element();
  const last = new LastInteraction(doc, false);
  const seen = [['mouse', true], ['pen', false], ['touch', false], ['', false]].map(([pointerType]) => {
    doc.on.pointerdown({ pointerType });
    return last.keyboard;
  });
  doc.on.keydown({});
  assert.deepEqual([...seen, last.keyboard, new LastInteraction(element(), true).keyboard], [true, false, false, false, true, false]);
});

test('the readable copy stands below in portrait, beside in landscape, and nowhere without room or need', () => {
  const rows = [
    // viewport, the window shown, its text's size: where the copy goes
    [{ width: 390, height: 844 }, { left: 0, top: 8, width: 390, height: 353 }, 7.8, { left: 0, top: 361, width: 390, height: 483 }],
    [{ width: 844, height: 390 }, { left: 206, top: 0, width: 431, height: 390 }, 8.6, { left: 637, top: 0, width: 207, height: 390 }],
    [{ width: 2560, height: 400 }, { left: 1059, top: 0, width: 442, height: 400 }, 8.8, { left: 1501, top: 0, width: 1059, height: 400 }],
    [{ width: 390, height: 420 }, { left: 16, top: 4, width: 358, height: 412 }, 7.1, null], // no room on either side
    [{ width: 600, height: 520 }, { left: 12, top: 0, width: 576, height: 520 }, 11.4, null],
    [{ width: 1280, height: 800 }, { left: 314, top: 8, width: 652, height: 591 }, 13, null], // readable as it is
    [{ width: 844, height: 500 }, { left: 0, top: 0, width: 844, height: 380 }, 11.9, { left: 0, top: 380, width: 844, height: 120 }], // landscape, room only below
    [{ width: 1000, height: 700 }, { left: 180, top: 8, width: 640, height: 580 }, 11.9, { left: 820, top: 0, width: 180, height: 700 }], // room both ways
    [{ width: 700, height: 1000 }, { left: 30, top: 8, width: 640, height: 580 }, 11.9, { left: 0, top: 588, width: 700, height: 412 }],
  ];
  for (const [view, shown, textPx, expected] of rows) assert.deepEqual(readableSpace(view, shown, textPx), expected, JSON.stringify(view));
});

test('the readable copy follows the boxes and the caption, and shows a long paste\'s start', () => {
  const doc = { createElement: () => ({ ...element(), textContent: '', children: [], append(...more) { this.children.push(...more); } }) };
  const score = { value: '0' }, time = { value: '60' }, caption = { textContent: '凸' };
  const area = doc.createElement();
  const copy = new ReadableCopy(doc, area, [{ name: '得点', input: score }, { name: '残り時間', input: time }], caption);
  score.value = `${'😀'.repeat(39)}x${'😀'.repeat(100)}`;
  time.value = '59';
  caption.textContent = 'ナモロ';
  copy.update();
  const shown = area.children.map((line) => (line.children.length > 0 ? line.children[1].textContent : line.textContent));
  assert.deepEqual(shown, [`${'😀'.repeat(39)}x…`, '59', 'ナモロ']);
  copy.place({ width: 390, height: 844 }, { left: 0, top: 8, width: 390, height: 353 }, 7.8);
  assert.deepEqual([area.hidden, area.style.top], [false, '361px']);
  copy.place({ width: 1280, height: 800 }, { left: 314, top: 8, width: 652, height: 591 }, 13);
  assert.equal(area.hidden, true);
});

test('a view that changes only the time box leaves the score box alone, whatever it holds', () => {
  const elements = {}, writes = [];
  const box = () => {
    const input = element();
    let value = '';
    Object.defineProperty(input, 'value', { get: () => value, set: (v) => { writes.push([input.id, v]); value = v; } });
    return input;
  };
  const doc = { getElementById: (id) => (elements[id] ??= element()), createElement: (tag) => (tag === 'input' ? box() : element()) };
  globalThis.devicePixelRatio = 1;
  const view = new GameView(doc, {
    form: { caption: 'Form1', colour: 'lavender', width: 650, height: 536 }, pictures: [], texts: {},
    boxes: [{ name: 'Text2', tabIndex: 0 }, { name: 'Text1', tabIndex: 1 }], captions: [],
  });
  view.show({ moved: [], texts: ['0', '0'], captions: [] });
  view.boxes[1].value = 'にほ'; // being composed, not yet the model's
  writes.length = 0;
  view.show({ moved: [], texts: ['59', null], captions: [] });
  view.show({ moved: [], texts: ['58', null], captions: [] });
  assert.deepEqual(writes, [['Text2', '59'], ['Text2', '58']]);
  assert.equal(view.boxes[1].value, 'にほ');
});
