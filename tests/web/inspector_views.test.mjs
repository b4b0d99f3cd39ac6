// The frame inspector beside the default view: in wireframe and close up,
// the frame built up shape by shape against the pixels, the shapes' boxes
// against the canvas, and clicks on the canvas against what it shows.
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
  // Two units from the walker: the near plane cuts the hip block and the
  // barrel's last cube, and parts reach past the canvas's sides.
  'close up': ['=', '=', '='],
};

// The program's gluPerspective near plane (src/main.cpp).
const NEAR = 1;
// Whether the near plane cuts a cube or a sphere: its depths before the eye
// reach both sides of it.
const cutByNear = ({ name, args: [size], modelview: m }) => {
  const reach = name.endsWith('Cube') ? (size / 2) * (Math.abs(m[2]) + Math.abs(m[6]) + Math.abs(m[10]))
    : size * Math.hypot(m[2], m[6], m[10]);
  return m[14] - reach < -NEAR && m[14] + reach > -NEAR;
};

// Clicks on the canvas's pixels, in the page: for each, the shape chosen (-1 for none).
const clicks = (page, pixels) => page.$eval('canvas', (canvas, list) => {
  const rect = canvas.getBoundingClientRect();
  const [sx, sy] = [rect.width / canvas.width, rect.height / canvas.height];
  return list.map(([px, py]) => {
    canvas.dispatchEvent(new MouseEvent('click', { bubbles: true, clientX: rect.left + (px + 0.5) * sx, clientY: rect.top + (py + 0.5) * sy }));
    return Number(document.querySelector('#inspector-tree [aria-selected=true]')?.dataset.shape ?? -1);
  });
}, pixels);

for (const [view, keys] of Object.entries(VIEWS)) {
  test(`${view}: each shape in turn changes only pixels in its box and colour, all of them give the plain frame; boxes lie in the canvas; a click where a shape is seen chooses it, the background nothing`, async () => {
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
      const seen = new Int16Array(plain.classes.length).fill(-1);  // the shape last drawn at each pixel
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
          seen[i] = n - 1;
        });
        before = picture;
      }
      assert.ok(samePixels(before, plain), 'all shapes: the frame as the program draws it');

      // Where a shape is seen, a pixel from its edges (rasterisers differ
      // there) and outside the boxes of later shapes (which may draw it in
      // the same colour): a few of each shape's, spread over it.
      const inside = (i) => [-1, 0, 1].every((dy) => [-1, 0, 1].every((dx) => seen[i + dy * plain.width + dx] === seen[i]));
      const targets = shapes.flatMap(({ shape }) => {
        const own = [];
        seen.forEach((s, i) => {
          const [x, y] = [i % plain.width, Math.floor(i / plain.width)];
          if (s === shape && x > 0 && y > 0 && x < plain.width - 1 && y < plain.height - 1 && inside(i) &&
              !shapes.slice(shape + 1).some((later) => inBox(later.box, x, y))) own.push([x, y]);
        });
        return [0, 1, 2, 3].map((k) => own[Math.floor((k * own.length) / 4)]).filter(Boolean).map((pixel) => ({ shape, pixel }));
      });
      if (keys.includes('=')) {
        assert.ok(targets.some(({ shape }) => cutByNear(shapes[shape])), 'a part cut by the near plane is seen');
      }
      const chosen = await clicks(page, targets.map((t) => t.pixel));
      targets.forEach(({ shape, pixel }, k) => assert.equal(chosen[k], shape,
        `a click at ${pixel}, where ${f.names[shape]}${cutByNear(shapes[shape]) ? ' (cut by the near plane)' : ''} is seen`));

      // Background outside every box, clicked on across the canvas.
      const free = [];
      for (let y = 5; y < plain.height; y += 10) {
        for (let x = 5; x < plain.width; x += 10) {
          if (plain.classes[y * plain.width + x] === 0 && !shapes.some(({ box }) => inBox(box, x, y))) free.push([x, y]);
        }
      }
      assert.ok(free.length > 100, `${free.length} pixels of background to click`);
      const background = await clicks(page, free);
      const chose = background.findIndex((shape) => shape >= 0);
      assert.equal(chose, -1, `a click on the background at ${free[chose]} chose ${f.names[background[chose]]}`);
    } finally {
      await page.close();
    }
  });
}
