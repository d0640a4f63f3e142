// The whole window, title, menu bar, area and boxes, scaled by one factor to the visible part of
// the screen: smaller on a phone, never larger than one CSS pixel per logical pixel.
export function fitScale(view, size) {
  return Math.min(1, view.width / size.width, view.height / size.height);
}

// The logical pixel under a point `offset` CSS pixels from the area's edge, rounded down; the
// tolerance keeps a point on a pixel's edge from falling back into its neighbour by float error.
export function logicalPixel(offset, scale) {
  return Math.floor(offset / scale + 1e-9);
}

// Below this many CSS pixels the boxes' text is too small to read on a phone.
export const READABLE_PX = 12;
// The least room the readable copy takes: three lines at 16 CSS pixels, with a margin.
const COPY_ROOM = { width: 120, height: 80 };

// Where the page's free space repeats the window's text at a readable size, once the fitted
// window shows it at `textPx`: below the window in portrait, beside it in landscape (the other
// way round when only that has room); null when the text is readable already or there is no room.
// `shown` is the window's rectangle on the screen, in CSS pixels.
export function readableSpace(view, shown, textPx) {
  if (textPx >= READABLE_PX) return null;
  const below = { left: 0, top: shown.top + shown.height, width: view.width, height: view.height - shown.top - shown.height };
  const beside = { left: shown.left + shown.width, top: 0, width: view.width - shown.left - shown.width, height: view.height };
  const order = view.height >= view.width ? [below, beside] : [beside, below];
  return order.find((r) => r.width >= COPY_ROOM.width && r.height >= COPY_ROOM.height) ?? null;
}

// Keeps `element` fitted to the visual viewport as it turns, resizes or gains an on-screen
// keyboard. Pinch zoom is the player's own and does not shrink the game. `onPlace` hears every
// fit: the viewport and the window's rectangle on it, in CSS pixels, and the scale.
export class WindowFit {
  constructor(element, onScale, onPlace = () => {}) {
    this.element = element;
    this.onScale = onScale;
    this.onPlace = onPlace;
    this.scale = 1;
    const refit = () => this.apply();
    addEventListener('resize', refit);
    visualViewport?.addEventListener('resize', refit);
  }

  apply() {
    const view = visualViewport ?? { width: innerWidth, height: innerHeight, scale: 1 };
    const size = { width: this.element.offsetWidth, height: this.element.offsetHeight };
    const scale = fitScale({ width: view.width * view.scale, height: view.height * view.scale }, size);
    // Whole device pixels from the corner keep the pictures' pixels on the screen's.
    const snap = (free, most) => Math.round(Math.max(0, Math.min(most, free / 2)) * devicePixelRatio) / devicePixelRatio;
    const shown = {
      left: snap(view.width * view.scale - size.width * scale, Infinity),
      top: snap(view.height * view.scale - size.height * scale, 8),
      width: size.width * scale, height: size.height * scale,
    };
    Object.assign(this.element.style, { left: `${shown.left}px`, top: `${shown.top}px`, transform: `scale(${scale})` });
    if (scale !== this.scale) {
      this.scale = scale;
      this.onScale(scale);
    }
    this.onPlace({ width: view.width * view.scale, height: view.height * view.scale }, shown, scale);
  }
}
