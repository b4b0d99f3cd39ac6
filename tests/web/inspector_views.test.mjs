// The frame inspector beside the default view: in wireframe and close up,
// the frame built up shape by shape against the pixels, and the shapes'
// boxes against the canvas.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { COLOURS, PALETTE, canvasPicture, count, openPage, pressAndDraw, samePixels, servedPage } from './browser.mjs';

const shared = servedPage();

const classOf = (rgb) => PALETTE.findIndex((p) => p.join() === rgb.map((v) => Math.round(v * 255)).join());
// A pixel is drawn where its centre is inside the shape, so a box
// [left, right) x [top, bottom) holds every pixel the shape draws.
const inBox = (box, x, y) => box !== null && x >= box[0] && x < box[2] && y >= box[1] && y < box[3];

const VIEWS = {
  wireframe: ['1'],
};

for (const [view, keys] of Object.entries(VIEWS)) {
  test(`${view}: each shape in turn changes only pixels in its box and colour, all of them give the plain frame; boxes lie in the canvas; the background chooses nothing`, async () => {
    const { page } = await openPage(shared.browser, shared.server.url);
    try {
      await pressAndDraw(page, ['p', ...keys]);
      const plain = await canvasPicture(page);
      await page.click('#inspector-toggle');
      await page.waitForFunction(() => window.walkerInspector.frame() !== null);
      const f = await page.evaluate(() => window.walkerInspector.frame());
      const shapes = f.calls.filter((c) => c.shape >= 0);
      assert.equal(shapes.length, f.shapes);
      for (const { shape, box } of shapes.filter((s) => s.box !== null)) {
        assert.ok(box[0] >= 0 && box[1] >= 0 && box[2] <= plain.width && box[3] <= plain.height && box[0] < box[2] &&
          box[1] < box[3], `shape ${shape}'s box ${box} in the ${plain.width} x ${plain.height} canvas`);
      }

      let before = null;
      for (let n = 0; n <= f.shapes; n++) {
        await page.$eval('#inspector-order', (slider, value) => {
          slider.value = String(value);
          slider.dispatchEvent(new Event('input'));
        }, n);
        const picture = await canvasPicture(page);
        if (n === 0) assert.equal(count(picture, 'black'), picture.classes.length, 'nothing drawn');
        const { box, colour } = shapes[n - 1] ?? {};
        picture.classes.forEach((c, i) => {
          if (n === 0 || c === before.classes[i]) return;
          const [x, y] = [i % picture.width, Math.floor(i / picture.width)];
          assert.ok(c === classOf(colour) && inBox(box, x, y), `shape ${n - 1} (box ${box}) changed (${x}, ${y}) to ${COLOURS[c]}`);
        });
        before = picture;
      }
      assert.ok(samePixels(before, plain), 'all shapes: the frame as the program draws it');

      // Background outside every box, clicked on across the canvas.
      const free = [];
      for (let y = 5; y < plain.height; y += 10) {
        for (let x = 5; x < plain.width; x += 10) {
          if (plain.classes[y * plain.width + x] === 0 && !shapes.some(({ box }) => inBox(box, x, y))) free.push([x, y]);
        }
      }
      assert.ok(free.length > 100, `${free.length} pixels of background to click`);
      const chose = await page.$eval('canvas', (canvas, pixels) => {
        const rect = canvas.getBoundingClientRect();
        const [sx, sy] = [rect.width / canvas.width, rect.height / canvas.height];
        return pixels.find(([px, py]) => {
          canvas.dispatchEvent(new MouseEvent('click', { bubbles: true, clientX: rect.left + (px + 0.5) * sx, clientY: rect.top + (py + 0.5) * sy }));
          return document.querySelector('#inspector-tree [aria-pressed=true]') !== null;
        }) ?? null;
      }, free);
      assert.equal(chose, null, `a click on the background chooses nothing (${chose}: ${await page.$eval('#inspector-tree [aria-pressed=true]', (b) => b.textContent).catch(() => '')})`);
    } finally {
      await page.close();
    }
  });
}
