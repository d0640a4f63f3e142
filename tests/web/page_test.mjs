// The page's modules without a browser: a fake timer, a fake model and fake elements.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { GameClock } from '../../web/page/GameClock.js';
import { GameInput } from '../../web/page/GameInput.js';
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
