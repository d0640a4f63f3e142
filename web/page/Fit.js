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

// Keeps `element` fitted to the visual viewport as it turns, resizes or gains an on-screen
// keyboard. Pinch zoom is the player's own and does not shrink the game.
export class WindowFit {
  constructor(element, onScale) {
    this.element = element;
    this.onScale = onScale;
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
    Object.assign(this.element.style, {
      left: `${snap(view.width * view.scale - size.width * scale, Infinity)}px`,
      top: `${snap(view.height * view.scale - size.height * scale, 8)}px`,
      transform: `scale(${scale})`,
    });
    if (scale !== this.scale) {
      this.scale = scale;
      this.onScale(scale);
    }
  }
}
