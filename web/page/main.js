// Loads the model and wires the page's parts to it: the view shows what the model says, the
// input forwards the player's verbs, the clock drives its timers. A model that cannot load is
// reported like a runtime error.
import createNamoro from './namoro.js';
import { Model } from './Model.js';
import { GameView, showEnd } from './GameView.js';
import { GameInput, LastInteraction, MenuBar } from './GameInput.js';
import { GameClock } from './GameClock.js';
import { WindowFit } from './Fit.js';
import { ReadableCopy } from './ReadableCopy.js';

// Once served, the page keeps every file of its build for playing offline.
navigator.serviceWorker?.register('sw.js').catch((error) => console.warn('namoro plays online only:', error));

try {
  const model = new Model(await createNamoro());
  const { layout } = model;
  if (!layout) throw model.view(); // a layout that cannot be read is a runtime error before Load
  const view = new GameView(document, layout);
  let ended = false;
  const clock = new GameClock(() => model.nextDue(), () => model.runDue(), () => sync());
  const sync = () => {
    const shown = model.view();
    if (shown.status >= 0) {
      clock.stop();
      if (!ended) showEnd(document, shown);
      ended = true;
      return;
    }
    view.show(shown);
    // Most steps only move pictures: the copy reads the boxes again only when the model wrote one.
    if (shown.texts.some((t) => t !== null) || shown.captions.some((c) => c !== null)) copy.update();
    clock.arm();
  };
  const copy = new ReadableCopy(document, document.getElementById('readable'),
    view.tabOrder.map((box) => ({ name: layout.boxes[view.boxes.indexOf(box)].accessibleName, input: box })), view.caption);
  document.getElementById('area').addEventListener('input', () => copy.update()); // a word being composed too
  const act = (verb) => { verb(); sync(); };
  const input = new GameInput({ doc: document, canvas: view.canvas, boxes: view.boxes, width: layout.form.width }, model, act);

  // By touch or pen nothing puts the focus into a box unasked. With a mouse or the keys, the box
  // takes it as on the desktop: the first in tab order at the start, and the last one used after
  // a menu command.
  const last = new LastInteraction(document, matchMedia('(pointer: coarse)').matches);
  const focusBox = () => { if (last.keyboard) (input.lastBox ?? view.tabOrder[0])?.focus({ preventScroll: true }); };
  new MenuBar(document, document.getElementById('menubar'), layout, (entry) => {
    focusBox();
    act(() => model.choose(entry));
  });

  const shownWindow = document.getElementById('window');
  shownWindow.hidden = false;
  const boxTextPx = view.boxes.length > 0 ? parseFloat(getComputedStyle(view.boxes[0]).fontSize) : Infinity;
  const fit = new WindowFit(shownWindow, (scale) => view.rescale(scale), (screen, at, scale) => copy.place(screen, at, boxTextPx * scale));
  fit.apply();
  view.watchRatio();
  model.start(); // Load runs before any tick or click
  sync(); // the first view holds everything
  if (!ended) focusBox();
  window.namoro = { model, view, clock, fit, copy }; // for the browser tests and the benchmarks
} catch (error) {
  showEnd(document, error.error ? error : { status: 1, error: { title: document.title, text: String(error) } });
}
