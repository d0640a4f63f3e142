// Every call into the WebAssembly module: the model's verbs, its layout once, and what a step
// changed. The rest of the page never touches the module.
const Change = { PicturesMoved: 1, TextsWritten: 2, CaptionWritten: 4, Ended: 8 };

// Stored colours keep red in the low byte.
function cssColour(bgr) {
  return `rgb(${bgr & 0xff} ${(bgr >>> 8) & 0xff} ${(bgr >>> 16) & 0xff})`;
}

const signatures = {
  create: ['number', []], start: [null, ['number']], next_due: ['number', ['number']],
  run_due: [null, ['number']], click: [null, ['number', 'number', 'number']],
  menu: [null, ['number', 'number']], type: [null, ['number', 'number', 'string']],
  take_changes: ['number', ['number']], status: ['number', ['number']],
  error_number: ['number', ['number']], error_message: ['string', ['number']],
  form_caption: ['string', ['number']], form_colour: ['number', ['number']],
  form_width: ['number', ['number']], form_height: ['number', ['number']],
  menu_count: ['number', ['number']], menu_caption: ['string', ['number', 'number']],
  menu_top_level: ['number', ['number', 'number']],
  picture_count: ['number', ['number']], picture_name: ['string', ['number', 'number']],
  picture_left: ['number', ['number', 'number']], picture_top: ['number', ['number', 'number']],
  picture_width: ['number', ['number', 'number']], picture_height: ['number', ['number', 'number']],
  picture_pixels: ['number', ['number', 'number']],
  box_count: ['number', ['number']], box_name: ['string', ['number', 'number']],
  box_text: ['string', ['number', 'number']], box_tab_index: ['number', ['number', 'number']],
  box_rect: ['number', ['number', 'number', 'number']],
  label_count: ['number', ['number']], label_caption: ['string', ['number', 'number']],
  label_rect: ['number', ['number', 'number', 'number']], label_back_colour: ['number', ['number', 'number']],
  label_fore_colour: ['number', ['number', 'number']], label_alignment: ['number', ['number', 'number']],
  label_font_family: ['string', ['number', 'number']], label_font_points: ['number', ['number', 'number']],
  label_font_weight: ['number', ['number', 'number']],
};
const menuNames = { スタート: 'MenuStart', エンド: 'MenuEnd' };
const boxNames = { Text1: '得点', Text2: '残り時間' };

export class Model {
  constructor(module) {
    const api = {};
    for (const [name, [result, args]] of Object.entries(signatures)) api[name] = module.cwrap(`namoro_${name}`, result, args);
    this.api = api;
    this.game = api.create();
    const game = this.game;
    const count = (what) => api[`${what}_count`](game);
    const rect = (what, i) => Object.fromEntries(['left', 'top', 'width', 'height'].map((side, n) => [side, api[`${what}_rect`](game, i, n)]));
    const range = (n) => [...Array(n).keys()];
    this.layout = {
      form: { caption: api.form_caption(game), colour: cssColour(api.form_colour(game)), width: api.form_width(game), height: api.form_height(game) },
      menu: range(count('menu')).map((i) => ({ name: menuNames[api.menu_caption(game, i)] ?? '', caption: api.menu_caption(game, i), topLevel: !!api.menu_top_level(game, i) })),
      pictures: range(count('picture')).map((i) => {
        const width = api.picture_width(game, i), height = api.picture_height(game, i), at = api.picture_pixels(game, i);
        return { name: api.picture_name(game, i), width, height, argb: module.HEAPU8.slice(at, at + width * height * 4) };
      }),
      boxes: range(count('box')).map((i) => ({ name: api.box_name(game, i), accessibleName: boxNames[api.box_name(game, i)], tabIndex: api.box_tab_index(game, i), ...rect('box', i) })),
      captions: range(count('label')).map((i) => ({
        ...rect('label', i), back: cssColour(api.label_back_colour(game, i)), fore: cssColour(api.label_fore_colour(game, i)),
        alignment: ['left', 'right', 'center'][api.label_alignment(game, i)], fontFamilies: [api.label_font_family(game, i)].filter(Boolean),
        pixelSize: Math.round(api.label_font_points(game, i) * 96 / 72), weight: api.label_font_weight(game, i),
      })),
      texts: { gameOver: '時間切れ、ゲームオーバーです。', errorTitle: 'ナモロゲーム' },
    };
    this.started = false;
  }

  start() { this.api.start(this.game); this.started = true; }
  nextDue() { return this.api.next_due(this.game); }
  runDue() { this.api.run_due(this.game); }
  click(x, y) { this.api.click(this.game, x, y); }
  choose(index) { this.api.menu(this.game, index); }
  type(box, text) { this.api.type(this.game, box, text); }

  view() {
    const { api, game } = this;
    const changes = api.take_changes(game);
    const status = api.status(game);
    const number = status >= 0 ? api.error_number(game) : 0;
    return {
      moved: !!(changes & Change.PicturesMoved), textsChanged: !!(changes & Change.TextsWritten),
      captionChanged: !!(changes & Change.CaptionWritten),
      places: this.layout.pictures.map((_, i) => ({ left: api.picture_left(game, i), top: api.picture_top(game, i) })),
      texts: this.layout.boxes.map((_, i) => api.box_text(game, i)),
      captions: this.layout.captions.map((_, i) => api.label_caption(game, i)),
      gameOver: false, status,
      error: number ? { title: this.layout.texts.errorTitle, text: `実行時エラー '${number}':\n\n${api.error_message(game)}` } : null,
    };
  }
}
