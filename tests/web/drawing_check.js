// Run in the program's page held on the virtual clock (tests/web/program_screen_test.py): what
// the drawing area shows against a picture composed from the model alone.
//
// The composition: Picture1's own pixel buffer (element.keplerModel()), then every image control
// that the trace left visible with a picture, in the surface's stacking order, at the Left and
// Top the trace gave it last, its picture decoded by the browser from the file in the page's file
// system (not by the program's decoder), transparent pixels see-through. The labels inside the
// picture box are not the model's drawing: their rectangles are left out where no body covers
// them. `shotBase64` is a PNG of the drawing area as the screen shows it.
//
// Resolves to {width, height, compared, mismatched, mismatches: [[x, y, shown, expected]...],
// bodies: [{name, file, left, top}]}.
/* exported keplerDrawingCheck */
async function keplerDrawingCheck(shotBase64) {
  const pixelsOf = async blob => {
    const bitmap =
        await createImageBitmap(blob, {premultiplyAlpha: "none", colorSpaceConversion: "none"});
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext("2d");
    context.drawImage(bitmap, 0, 0);
    return context.getImageData(0, 0, bitmap.width, bitmap.height);
  };

  const surface = document.querySelector('[data-control="Picture1"]');
  const model = surface.keplerModel();
  const width = model.width, height = model.height;
  const expected = new Uint8Array(width * height * 3);
  const owner = new Int8Array(width * height);  // -1 left out, 0 the drawing, 1 a body
  for (let i = 0; i < width * height; ++i) {
    const argb = model.argb[i];
    expected.set([(argb >>> 16) & 255, (argb >>> 8) & 255, argb & 255], 3 * i);
  }
  for (const label of surface.querySelectorAll(".kepler-label")) {
    if (getComputedStyle(label).display == "none") continue;
    const top = label.offsetTop, left = Math.max(0, label.offsetLeft);
    const right = Math.min(width, label.offsetLeft + label.offsetWidth);
    for (let y = Math.max(0, top); y < Math.min(height, top + label.offsetHeight); ++y) {
      owner.fill(-1, y * width + left, y * width + Math.max(left, right));
    }
  }

  // Each image's last Left, Top, Picture and Visible in the trace.
  const state = {};
  for (const line of window.keplerTrace) {
    const m = / kepler\.forms: (Image\d) (Left|Top|Picture|Visible) (.*)$/.exec(line);
    if (!m) continue;
    const image = state[m[1]] = state[m[1]] || {visible: true};
    if (m[2] == "Picture") image.file = m[3].slice(1, -1);
    else if (m[2] == "Visible") image.visible = m[3] == "True";
    else image[m[2].toLowerCase()] = Math.floor(Number(m[3]) + 0.5);  // as the control places it
  }
  const bodies = [];
  for (const element of surface.querySelectorAll(".kepler-image")) {
    const name = element.dataset.control, image = state[name];
    if (!image || !image.visible || !image.file) continue;
    if (image.left === undefined || image.top === undefined)
      throw new Error(name + " is shown before the trace placed it");
    bodies.push({name, file: image.file, left: image.left, top: image.top});
    const pixels = await pixelsOf(new Blob([Module.FS.readFile(image.file)]));
    for (let y = 0; y < pixels.height; ++y) {
      for (let x = 0; x < pixels.width; ++x) {
        const at = 4 * (y * pixels.width + x), alpha = pixels.data[at + 3];
        const sx = image.left + x, sy = image.top + y;
        if (alpha == 0 || sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
        const to = sy * width + sx;
        owner[to] = alpha == 255 ? 1 : -1;  // a partly transparent pixel: left out
        expected.set(pixels.data.subarray(at, at + 3), 3 * to);
      }
    }
  }

  const shot = await pixelsOf(
      new Blob([Uint8Array.from(atob(shotBase64), c => c.charCodeAt(0))], {type: "image/png"}));
  if (shot.width != width || shot.height != height)
    throw new Error("the shot is " + shot.width + " x " + shot.height);
  let compared = 0, mismatched = 0;
  const mismatches = [];
  for (let i = 0; i < width * height; ++i) {
    if (owner[i] < 0) continue;
    ++compared;
    const s = Array.from(shot.data.subarray(4 * i, 4 * i + 3));
    const e = Array.from(expected.subarray(3 * i, 3 * i + 3));
    if (s.join() == e.join()) continue;
    if (++mismatched <= 10) mismatches.push([i % width, Math.floor(i / width), s, e]);
  }
  return {width, height, compared, mismatched, mismatches, bodies};
}
