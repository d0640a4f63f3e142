// The one door to the model in WebAssembly: every call into the module goes through here.
//
//   new Model(module)  creates the game
//   layout             the window as stored, parsed once; null when it could not be read:
//                        { form: {caption, colour (CSS), width, height},
//                          menu: [{name, caption, topLevel, key (a command's key on the page, if any)}], menuKey,
//                          pictures: [{name, width, height, argb (Uint8Array, 0xAARRGGBB words, little-endian)}],
//                          boxes: [{name, accessibleName, tabIndex, left, top, width, height}] in element order,
//                          captions: [{left, top, width, height, back, fore (CSS), alignment ('left' | 'right' | 'center'),
//                                      fontFamilies, pixelSize, weight, italic, underline, strikeOut}],
//                          captionFace (the caption face's name on the page), texts: {gameName, gameOver} }
//   start()            raises Load
//   view()             after each step, what changed since the last view (the first holds everything):
//                        { moved: [{picture, before: [left, top], after: [left, top]}] of the pictures
//                            that moved, by their place in layout.pictures,
//                          texts: by box, the new text or null, captions: likewise,
//                          gameOver (true once, in the view after the step that ended the game),
//                          status (-1 running, else the end status), error (null or {title, text}) }
//   nextDue()          the next timer's due instant in ms on performance.now()'s scale, -1 for none
//   runDue()           runs the timers that are due
//   click(x, y)        a press at the logical pixel (x, y) of the inner area
//   choose(index)      a menu command, by its place in layout.menu
//   type(box, text)    a box's whole new text, by the box's place in layout.boxes
// Places and sizes are in logical pixels.
const encoder = new TextEncoder();

export class Model {
  #call;
  #game;
  #module;

  constructor(module) {
    const bind = (name, result, ...args) => module.cwrap(`namoro_${name}`, result, args);
    const n = 'number';
    this.#call = {
      layout: bind('layout', 'string', n), pixels: bind('picture_pixels', n, n, n), start: bind('start', null, n),
      view: bind('view', 'string', n), nextDue: bind('next_due', n, n), runDue: bind('run_due', null, n),
      click: bind('click', null, n, n, n), choose: bind('choose', null, n, n), type: bind('type', null, n, n, n, n),
    };
    this.#module = module;
    this.#game = bind('create', n)();
    this.layout = JSON.parse(this.#call.layout(this.#game));
    this.layout?.pictures.forEach((picture, i) => {
      const at = this.#call.pixels(this.#game, i);
      picture.argb = module.HEAPU8.slice(at, at + picture.width * picture.height * 4);
    });
  }

  start() { this.#call.start(this.#game); }
  view() { return JSON.parse(this.#call.view(this.#game)); }
  nextDue() { return this.#call.nextDue(this.#game); }
  runDue() { this.#call.runDue(this.#game); }
  click(x, y) { this.#call.click(this.#game, x, y); }
  choose(index) { this.#call.choose(this.#game, index); }
  // A text of any length crosses on the heap, never the stack, as UTF-8 with its length: each
  // lone surrogate becomes one U+FFFD, and a NUL is kept.
  type(box, text) {
    const bytes = encoder.encode(text);
    const at = this.#module._malloc(Math.max(1, bytes.length));
    if (!at) throw new Error('the model has no memory left for the text');
    try {
      this.#module.HEAPU8.set(bytes, at); // read after the allocation, which may grow the memory
      this.#call.type(this.#game, box, at, bytes.length);
    } finally {
      this.#module._free(at);
    }
  }
}
