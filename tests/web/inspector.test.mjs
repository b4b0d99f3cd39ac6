// The frame inspector on the page: the recorded frame against what the
// program drew, the painter's order, choosing a shape on the list and on the
// canvas, and a frame recorded anew at each step and key.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import {
  COLOURS, PALETTE, canvasPicture, count, narrowFrame, openPage, press, pressAndDraw, samePixels, servedPage,
} from './browser.mjs';

const shared = servedPage();

// The page paused, and the inspector opened on its frame.
async function inspect(viewport = null, beforeLoad = null) {
  const { page } = await openPage(shared.browser, shared.server.url, viewport, beforeLoad);
  await pressAndDraw(page, ['p']);
  const plain = await canvasPicture(page);
  await page.evaluate(() => { window.draws = []; });
  await page.click('#inspector-toggle');
  await page.waitForFunction(() => window.walkerInspector.frame() !== null);
  return { page, plain };
}

const frame = (page) => page.evaluate(() => window.walkerInspector.frame());
const shapes = (f) => f.calls.filter((c) => c.shape >= 0);
const shapeNamed = (f, name) => shapes(f)[Number(Object.keys(f.names).find((k) => f.names[k] === name))];
const centre = (box) => [(box[0] + box[2]) / 2, (box[1] + box[3]) / 2];
const classOf = (rgb) => PALETTE.findIndex((p) => p.join() === rgb.map((v) => Math.round(v * 255)).join());
const inBox = (box, x, y) => x >= box[0] - 1 && x <= box[2] && y >= box[1] - 1 && y <= box[3];

async function showUpTo(page, n) {
  await page.$eval('#inspector-order', (slider, value) => {
    slider.value = String(value);
    slider.dispatchEvent(new Event('input'));
  }, n);
}

test('the recorded frame is the program\'s: its draws and colours, balanced pushes and pops, its parts named where they are', async () => {
  // Every WebGL draw, in the colour set last before it (the shapes' shader
  // takes the colour after the matrix's columns).
  const { page } = await inspect(null, () => {
    const proto = WebGLRenderingContext.prototype;
    const [attribute, draw] = [proto.vertexAttrib4fv, proto.drawArrays];
    let last = null;
    proto.vertexAttrib4fv = function (index, value) {
      last = Array.from(value).slice(0, 3);
      return attribute.call(this, index, value);
    };
    const constant = proto.vertexAttrib4f;
    proto.vertexAttrib4f = function (index, ...value) {
      last = value.slice(0, 3);
      return constant.call(this, index, ...value);
    };
    proto.drawArrays = function (...args) {
      window.draws?.push(last);
      return draw.apply(this, args);
    };
  });
  const f = await frame(page);
  const draws = await page.evaluate(() => window.draws);
  assert.equal(f.shapes, draws.length, 'one recorded shape for each draw of the frame');
  assert.equal(shapes(f).length, f.shapes);
  assert.equal(f.truncated, false);
  assert.deepEqual(shapes(f).map((c) => c.colour.map((v) => Math.round(v * 255))), draws.map((rgb) => rgb.map((v) => Math.round(v * 255))));

  let depth = f.startDepth;
  for (const call of f.calls) {
    depth += call.name === 'glPushMatrix' ? 1 : call.name === 'glPopMatrix' ? -1 : 0;
    assert.equal(call.depth, depth, `the stack's depth after call ${call.index}, ${call.name}`);
  }
  assert.equal(depth, f.startDepth, 'every push popped');
  assert.equal(await page.$$eval('#inspector-tree button[data-push]', (b) => b.length),
    f.calls.filter((c) => c.name === 'glPushMatrix').length, 'a level of the tree for each push');

  const names = Object.values(f.names);
  assert.equal(new Set(names).size, f.shapes, 'every shape named, each once');
  for (const [index, name] of Object.entries(f.names)) {
    assert.ok((await page.$eval(`#inspector-tree [data-shape="${index}"]`, (b) => b.textContent)).endsWith(name));
  }
  const [turret, hip] = [shapeNamed(f, 'turret'), shapeNamed(f, 'hip block')];
  assert.ok(centre(turret.box)[1] < centre(hip.box)[1], 'the turret above the hip block');
  assert.equal(classOf(turret.colour), COLOURS.indexOf('green'));
  const feet = (g, pair) => [0, 1].map((leg) => shapeNamed(g, `${pair} pair, leg ${leg}: foot`));
  for (const [front, rear] of [0, 1].map((leg) => [feet(f, 'front')[leg], feet(f, 'rear')[leg]])) {
    assert.ok(front.modelview[14] > rear.modelview[14], 'seen from the front, the front feet are nearer the eye');
  }
  await pressAndDraw(page, Array(18).fill('ArrowLeft'));  // the view turned 90 degrees
  await page.waitForFunction(() => window.walkerInspector.frame().calls.find((c) => c.name === 'glRotatef').args[0] === 90);
  const side = await frame(page);
  for (const leg of [0, 1]) {
    assert.ok(centre(feet(side, 'front')[leg].box)[0] > centre(feet(side, 'rear')[leg].box)[0] + 20,
      'turned 90 degrees, the front pair is to the right');
  }
  await page.close();
});

test('the painter\'s order: up to N, the frame is its first N shapes, each drawn over the last; all of them, the plain frame', async () => {
  const { page, plain } = await inspect();
  const f = await frame(page);
  let before = null;
  for (let n = 0; n <= f.shapes; n++) {
    await showUpTo(page, n);
    const picture = await canvasPicture(page);
    if (n === 0) {
      assert.equal(count(picture, 'black'), picture.classes.length, 'nothing drawn');
    } else {
      const shape = shapes(f)[n - 1];
      const colour = classOf(shape.colour);
      picture.classes.forEach((c, i) => {
        if (c === before.classes[i]) return;
        const [x, y] = [i % picture.width, Math.floor(i / picture.width)];
        assert.ok(c === colour && inBox(shape.box, x, y), `shape ${n} changed (${x}, ${y}) to ${COLOURS[c]}`);
      });
      assert.equal(await page.$eval('[aria-current=step]', (b) => Number(b.dataset.shape)), n - 1, 'the tree\'s line follows');
    }
    before = picture;
  }
  assert.ok(samePixels(before, plain), 'all shapes: the frame as the program draws it');
  await page.close();
});

test('a chosen shape shows in its colours inside its box; a click on the canvas chooses the shape drawn last there', async () => {
  const { page, plain } = await inspect();
  const f = await frame(page);
  const thigh = shapeNamed(f, 'front pair, leg 0: thigh');
  await page.click(`#inspector-tree [data-shape="${thigh.shape}"]`);
  const chosen = await canvasPicture(page);
  let lit = 0;
  chosen.classes.forEach((c, i) => {
    if (c === 0) return;
    lit++;
    assert.ok(inBox(thigh.box, i % chosen.width, Math.floor(i / chosen.width)), 'only the chosen shape keeps its colours');
  });
  assert.ok(lit > 50, `the thigh shows (${lit} pixels)`);
  const outline = await page.$eval('#inspector-outline', (o) => [o.offsetLeft, o.offsetTop, o.offsetWidth, o.offsetHeight]);
  assert.deepEqual(outline, [thigh.box[0], thigh.box[1], thigh.box[2] - thigh.box[0], thigh.box[3] - thigh.box[1]]);
  await page.click(`#inspector-tree [data-shape="${thigh.shape}"]`);  // pressed again, it lets go

  // The barrel points at the eye: its last cube, drawn after the turret's
  // block, covers the block's middle, and nothing drawn later covers it.
  const [turret, cube] = [shapeNamed(f, 'turret'), shapeNamed(f, 'barrel cube 4')];
  const [x, y] = centre(cube.box).map(Math.floor);
  const at = (picture) => COLOURS[picture.classes[y * picture.width + x]];
  await showUpTo(page, turret.shape + 1);
  assert.equal(at(await canvasPicture(page)), 'green', 'the turret\'s block alone is there');
  await showUpTo(page, f.shapes);
  await page.click(`#inspector-tree [data-shape="${cube.shape}"]`);
  assert.equal(at(await canvasPicture(page)), 'magenta', 'chosen, the last cube is seen there');
  await page.click(`#inspector-tree [data-shape="${cube.shape}"]`);
  // A click at a pixel of the canvas, which is shown at its buffer's size.
  const click = (cx, cy) => page.$eval('canvas', (canvas, px, py) => {
    const box = canvas.getBoundingClientRect();
    canvas.dispatchEvent(new MouseEvent('click', { bubbles: true, clientX: box.left + px + 0.5, clientY: box.top + py + 0.5 }));
  }, cx, cy);
  await click(x, y);
  assert.equal(await page.$eval('#inspector-tree [aria-pressed=true]', (b) => Number(b.dataset.shape)), cube.shape);
  assert.match(await page.$eval('#inspector-selected-heading', (h) => h.textContent), /^barrel cube 4: solid cube 0\.2/);
  await click(5, 5);
  assert.equal(await page.$$eval('#inspector-tree [aria-pressed=true]', (b) => b.length), 0, 'the background chooses nothing');

  await page.click(`#inspector-tree [data-shape="${thigh.shape}"]`);
  await showUpTo(page, 10);
  await page.click('#inspector-close');
  assert.ok(samePixels(await canvasPicture(page), plain), 'closed, the plain frame again');
  await page.close();
});

test('each step and key records the frame anew, keeping the chosen part and the slider; closed, nothing is recorded', async () => {
  const { page } = await inspect();
  const foot = 'rear pair, leg 1: foot';
  const first = await frame(page);
  await page.click(`#inspector-tree [data-shape="${shapeNamed(first, foot).shape}"]`);
  await showUpTo(page, 20);
  const recorded = async (key) => {
    const { taken } = await frame(page);
    await press(page, key);
    await page.waitForFunction((n) => window.walkerInspector.frame().taken > n, {}, taken);
    return frame(page);
  };
  const stepped = await recorded('s');
  assert.equal(stepped.shapes, first.shapes);
  assert.notDeepEqual(shapes(stepped).at(-1).modelview, shapes(first).at(-1).modelview, 'the step moved the foot');
  assert.equal(await page.$eval('#inspector-order', (s) => s.value), '20', 'the slider keeps its place');
  assert.equal(await page.$eval('[aria-pressed=true]', (b) => b.textContent.endsWith('rear pair, leg 1: foot')), true);

  const shot = await recorded('a');
  assert.equal(shot.shapes, first.shapes + 1, 'the beam is one more shape');
  assert.equal(shot.names[5], 'beam');
  assert.equal(await page.$eval('#inspector-order', (s) => s.value), String(shot.shapes), 'a new count: every shape shown');
  assert.equal(await page.$eval('[aria-pressed=true]', (b) => Number(b.dataset.shape)), shapeNamed(shot, foot).shape,
    'the same part chosen, one place later');

  await page.click('#inspector-close');
  const turret = (await frame(page)).calls.find((c) => c.shape === 0).index;
  const turretMatrix = () => page.evaluate((i) => Module._walkerRecordedMatrix(i, 0), turret);
  const before = await turretMatrix();
  await pressAndDraw(page, ['z', 's']);
  assert.equal(await turretMatrix(), before, 'closed, no frame is recorded: the turret turned only on the canvas');
  await page.close();
});

test('on a 360-pixel screen the inspector fits below the canvas, with finger-sized buttons, and passes the accessibility rules', async () => {
  const { page } = await openPage(shared.browser, shared.server.url);
  const inPhone = await narrowFrame(page, 360, 740);
  await inPhone((w) => w.document.getElementById('inspector-toggle').click());
  await page.waitForFunction(() => document.getElementById('narrow-screen').contentWindow.walkerInspector.frame() !== null);
  const layout = await inPhone((w) => {
    const { document } = w;
    document.querySelector('#inspector-tree [data-shape="0"]').click();
    return {
      overflow: document.documentElement.scrollWidth - document.documentElement.clientWidth,
      below: document.getElementById('inspector').getBoundingClientRect().top >= document.getElementById('canvas').getBoundingClientRect().bottom,
      small: [...document.querySelectorAll('#inspector button')].map((b) => b.getBoundingClientRect())
        .filter((r) => r.width > 0 && (r.width < 44 || r.height < 44)).length,
    };
  });
  assert.deepEqual(layout, { overflow: 0, below: true, small: 0 });
  await page.addScriptTag({ content: readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8') });
  const violations = await page.evaluate(async () => {
    const frame = document.getElementById('narrow-screen');
    frame.remove();  // the page itself, with its inspector open
    document.getElementById('inspector-toggle').click();
    await new Promise((done) => setTimeout(done, 500));
    return (await window.axe.run()).violations.map((v) => `${v.id}: ${v.help}`);
  });
  assert.deepEqual(violations, []);
  await page.close();
});
