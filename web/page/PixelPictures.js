// The item pictures, drawn one logical pixel per picture pixel and crisp at any device pixel
// ratio: nearest-neighbour at whole ratios; at fractional ones "sharp bilinear", as the desktop
// draws them: enlarged nearest-neighbour by the next whole ratio, then smoothed down, so each
// block keeps its colour and only the device pixel shared with a neighbour blends the two.
function pictureCanvas(width, height, rgba) {
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  if (width > 0 && height > 0) canvas.getContext('2d').putImageData(new ImageData(rgba, width, height), 0, 0);
  return canvas;
}

// A copy `factor` times larger, nearest-neighbour, with a transparent margin of one block so
// the picture's edge blends into its surroundings when smoothed down.
function enlarged(source, factor) {
  const canvas = document.createElement('canvas');
  canvas.width = (source.width + 2) * factor;
  canvas.height = (source.height + 2) * factor;
  const context = canvas.getContext('2d');
  context.imageSmoothingEnabled = false;
  context.drawImage(source, factor, factor, source.width * factor, source.height * factor);
  return canvas;
}

export class PixelPictures {
  // `pictures`: {width, height, argb: Uint8Array of 0xAARRGGBB words, little-endian}.
  constructor(pictures) {
    this.images = pictures.map(({ width, height, argb }) => {
      const rgba = new Uint8ClampedArray(width * height * 4);
      for (let i = 0; i < width * height; ++i) {
        rgba[4 * i] = argb[4 * i + 2];
        rgba[4 * i + 1] = argb[4 * i + 1];
        rgba[4 * i + 2] = argb[4 * i];
        rgba[4 * i + 3] = argb[4 * i + 3];
      }
      return pictureCanvas(width, height, rgba);
    });
    this.enlargedFor = 0;
    this.enlargedImages = [];
  }

  // Draws every picture at its logical place, bottom first, onto a context of `ratio` device
  // pixels per logical pixel.
  draw(context, places, ratio) {
    const whole = Math.abs(ratio - Math.round(ratio)) < 1e-6;
    if (whole) {
      context.imageSmoothingEnabled = false;
      this.images.forEach((image, i) => {
        if (image.width > 0) context.drawImage(image, places[i].left * ratio, places[i].top * ratio, image.width * ratio, image.height * ratio);
      });
      return;
    }
    const factor = Math.ceil(ratio);
    if (this.enlargedFor !== factor) {
      this.enlargedImages = this.images.map((image) => enlarged(image, factor));
      this.enlargedFor = factor;
    }
    context.imageSmoothingEnabled = true;
    context.imageSmoothingQuality = 'high';
    this.enlargedImages.forEach((image, i) => {
      const source = this.images[i];
      if (source.width === 0) return;
      context.drawImage(image, (places[i].left - 1) * ratio, (places[i].top - 1) * ratio,
        (source.width + 2) * ratio, (source.height + 2) * ratio);
    });
  }
}
