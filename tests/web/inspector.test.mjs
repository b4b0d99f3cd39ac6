// The frame inspector on the page: the recorded frame against what the
// program drew, the painter's order, choosing a shape on the list and on the
// canvas, and a frame recorded anew at each step and key.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import {
  addScript, COLOURS, PALETTE, canvasPicture, count, narrowFrame, openPage, press, pressAndDraw, samePixels, servedPage,
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

// A line of the list clicked (WebDriver would first scroll it out from
// under the sticky slider).
const choose = (page, shape) => page.$eval(`#inspector-tree [data-shape="${shape}"]`, (line) => line.click());

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
  assert.equal(await page.$$eval('#inspector-tree [data-level]', (b) => b.length),
    f.calls.filter((c) => c.name === 'glPushMatrix').length, 'a level of the tree for each push');

  const names = Object.values(f.names);
  assert.equal(new Set(names).size, f.shapes, 'every shape named, each once');
  for (const [index, name] of Object.entries(f.names)) {
    assert.match(await page.$eval(`#inspector-tree [data-shape="${index}"] .words`, (b) => b.textContent), new RegExp(`: ${name.replace(/[()]/g, '\\$&')}, `));
  }
  const [turret, hip] = [shapeNamed(f, 'turret'), shapeNamed(f, 'hip block')];
  assert.ok(centre(turret.box)[1] < centre(hip.box)[1], 'the turret above the hip block');
  assert.equal(classOf(turret.colour), COLOURS.indexOf('green'));
  const feet = (g, pair) => ['0 (its left)', '1 (its right)'].map((leg) => shapeNamed(g, `${pair} pair, leg ${leg}: foot`));
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
  const thigh = shapeNamed(f, 'front pair, leg 0 (its left): thigh');
  await choose(page, thigh.shape);
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
  await choose(page, thigh.shape);  // pressed again, it lets go

  // The barrel points at the eye: its last cube, drawn after the turret's
  // block, covers the block's middle, and nothing drawn later covers it.
  const [turret, cube] = [shapeNamed(f, 'turret'), shapeNamed(f, 'barrel cube 4')];
  const [x, y] = centre(cube.box).map(Math.floor);
  const at = (picture) => COLOURS[picture.classes[y * picture.width + x]];
  await showUpTo(page, turret.shape + 1);
  assert.equal(at(await canvasPicture(page)), 'green', 'the turret\'s block alone is there');
  await showUpTo(page, f.shapes);
  await choose(page, cube.shape);
  assert.equal(at(await canvasPicture(page)), 'magenta', 'chosen, the last cube is seen there');
  await choose(page, cube.shape);
  // A click at a pixel of the canvas, which is shown at its buffer's size.
  const click = (cx, cy) => page.$eval('canvas', (canvas, px, py) => {
    const box = canvas.getBoundingClientRect();
    canvas.dispatchEvent(new MouseEvent('click', { bubbles: true, clientX: box.left + px + 0.5, clientY: box.top + py + 0.5 }));
  }, cx, cy);
  await click(x, y);
  assert.equal(await page.$eval('#inspector-tree [aria-selected=true]', (b) => Number(b.dataset.shape)), cube.shape);
  assert.match(await page.$eval('#inspector-selected-heading', (h) => h.textContent), /^barrel cube 4: solid cube of edge 0\.2, magenta/);
  await click(5, 5);
  assert.equal(await page.$$eval('#inspector-tree [aria-selected=true]', (b) => b.length), 0, 'the background chooses nothing');

  await choose(page, thigh.shape);
  await showUpTo(page, 10);
  await page.$eval('#inspector-close', (button) => button.click());
  assert.ok(samePixels(await canvasPicture(page), plain), 'closed, the plain frame again');
  await page.close();
});

test('each step and key records the frame anew, keeping the chosen part and the slider; closed, nothing is recorded', async () => {
  const { page } = await inspect();
  const foot = 'rear pair, leg 1 (its right): foot';
  const first = await frame(page);
  await choose(page, shapeNamed(first, foot).shape);
  await showUpTo(page, 20);
  const recorded = async (key) => {
    const { taken } = await frame(page);
    await press(page, key);
    await page.waitForFunction((n) => window.walkerInspector.frame().taken > n, {}, taken);
    return frame(page);
  };
  const stepped = await recorded('s');
  assert.equal(stepped.shapes, first.shapes);
  // The list says the new frame's angles.
  const angles = await page.$$eval('#inspector-tree code', (codes) => codes.map((c) => c.textContent).filter((t) => t.startsWith('glRotatef')));
  assert.deepEqual(angles, stepped.calls.filter((c) => c.name === 'glRotatef').map((c) => `glRotatef(${c.args.map((a) => Number(a.toPrecision(6))).join(', ')})`));
  assert.notDeepEqual(shapes(stepped).at(-1).modelview, shapes(first).at(-1).modelview, 'the step moved the foot');
  assert.equal(await page.$eval('#inspector-order', (s) => s.value), '20', 'the slider keeps its place');
  const live = await canvasPicture(page);
  await page.evaluate((n) => Module._walkerShowRecordedFrame(20, n), shapeNamed(stepped, foot).shape);
  assert.ok(samePixels(live, await canvasPicture(page)), 'the new frame is drawn as the panel shows it: 20 shapes, the foot chosen');
  assert.equal(await page.$eval('[aria-selected=true]', (b) => Number(b.dataset.shape)), shapeNamed(stepped, foot).shape);

  const shot = await recorded('a');
  assert.equal(shot.shapes, first.shapes + 1, 'the beam is one more shape');
  assert.equal(shot.names[5], 'beam');
  // Two frames in a row, each with its shapes' boxes in the canvas.
  for (const { shape, box } of [...shapes(stepped), ...shapes(shot)].filter((c) => c.box)) {
    assert.ok(box[0] >= 0 && box[1] >= 0 && box[0] < box[2] && box[1] < box[3] && box[2] <= 400 && box[3] <= 400, `shape ${shape}'s box ${box}`);
  }
  assert.equal(await page.$eval('#inspector-order', (s) => s.value), String(shot.shapes), 'a new count: every shape shown');
  assert.equal(await page.$eval('[aria-selected=true]', (b) => Number(b.dataset.shape)), shapeNamed(shot, foot).shape,
    'the same part chosen, one place later');

  await page.$eval('#inspector-close', (button) => button.click());
  const record = () => page.evaluate(() => {
    const at = Module._walkerRecord() / 8;
    return Array.from(Module.HEAPF64.subarray(at, at + Module.HEAPF64[at]));
  });
  const before = await record();
  await pressAndDraw(page, ['z', 's']);
  assert.deepEqual(await record(), before, 'closed, no frame is recorded: the turret turned only on the canvas');
  assert.equal(await page.evaluate(() => Module._walkerStrayCalls()), 0, 'closed, no call reaches the recorder');
  await page.close();
});

// What of the page a person sees in a frame of the size asked for, with the
// inspector open there: the canvas's share in view, the slider in view, the
// lines of the list in view and not under the canvas, sideways scroll, and
// buttons under a finger's size.
function inView(w) {
  const { document } = w;
  const [vw, vh] = [w.innerWidth, w.innerHeight];
  const shown = (r) => Math.max(0, Math.min(r.bottom, vh) - Math.max(r.top, 0)) * Math.max(0, Math.min(r.right, vw) - Math.max(r.left, 0));
  const seen = (e) => {
    const r = e.getBoundingClientRect();
    return r.height > 0 && r.top >= 0 && r.bottom <= vh && e.contains(document.elementFromPoint(r.left + 4, (r.top + r.bottom) / 2));
  };
  const canvas = document.getElementById('canvas').getBoundingClientRect();
  return {
    canvas: shown(canvas) / (canvas.width * canvas.height),
    slider: seen(document.getElementById('inspector-order')),
    lines: [...document.querySelectorAll('#inspector-tree .line')].filter(seen).length,
    overflow: document.documentElement.scrollWidth - document.documentElement.clientWidth,
    small: [...document.querySelectorAll('#inspector button')].map((b) => b.getBoundingClientRect())
      .filter((r) => r.width > 0 && (r.width < 44 || r.height < 44)).length,
  };
}

test('at 1366 x 650, 900 x 900 and 360 x 740 the canvas, the slider and eight lines of the list are in view together, and stay so', async () => {
  const { page } = await openPage(shared.browser, shared.server.url);
  for (const [width, height] of [[1366, 650], [900, 900], [360, 740]]) {
    const inFrame = await narrowFrame(page, width, height);
    await inFrame((w) => w.document.getElementById('inspector-toggle').click());
    await page.waitForFunction(() => document.getElementById('narrow-screen').contentWindow.walkerInspector.frame() !== null);
    const check = (layout, when) => {
      const said = `${width} x ${height}, ${when}: ${JSON.stringify(layout)}`;
      assert.ok(layout.canvas >= 0.75 && layout.slider && layout.lines >= 8 && layout.overflow === 0 && layout.small === 0, said);
    };
    check(await inFrame(inView), 'opened');
    // Chosen, its chain goes below the list; the slider moved, the list follows it.
    await inFrame((w) => w.document.querySelector('#inspector-tree [data-shape="7"]').click());
    await inFrame((w) => {
      const slider = w.document.getElementById('inspector-order');
      slider.value = '3';
      slider.dispatchEvent(new Event('input'));
    });
    check(await inFrame(inView), 'a shape chosen, the slider at 3');
    // Opened while it walked, closed it walks again, and says so.
    assert.deepEqual(await inFrame((w) => {
      w.document.getElementById('inspector-close').click();
      return [w.Module.walkerWalking(), w.document.getElementById('inspector-closed').textContent];
    }), [true, 'The frame inspector is closed, and the walker walks again.']);
    await page.evaluate(() => document.getElementById('narrow-screen').remove());
  }
  await page.close();
});

test('the list keeps its place: choosing never scrolls it, a new frame keeps its scroll and focus, and its keys are its own', async () => {
  const { page } = await inspect();
  const state = () => page.evaluate(() => ({
    scroll: document.querySelector('#inspector .tree').scrollTop,
    focused: document.activeElement.dataset?.key ?? document.activeElement.id,
  }));
  assert.equal((await state()).scroll, 0, 'opened at its start');
  // Down the tree by its keys to the front pair's first thigh, and choose it.
  await page.$eval('#inspector-tree [role=treeitem]', (item) => item.focus());
  const thigh = shapeNamed(await frame(page), 'front pair, leg 0 (its left): thigh').shape;
  let moves = 0;
  while (await page.evaluate(() => document.activeElement.dataset.shape) !== String(thigh)) {
    await press(page, 'ArrowDown');
    assert.ok(++moves < 80, 'ArrowDown reaches the thigh');
  }
  const at = await state();
  await press(page, 'Enter');
  assert.equal(await page.$eval('[aria-selected=true]', (item) => Number(item.dataset.shape)), thigh);
  assert.deepEqual(await state(), at, 'choosing keeps the list\'s scroll and focus');
  for (const key of ['s', 'z', 'ArrowLeft', 'ArrowRight']) {
    const { taken } = await frame(page);
    if (key.startsWith('Arrow')) await page.evaluate(() => Module.walkerKey('s'));  // a new frame while the tree has these keys
    else await press(page, key);
    await page.waitForFunction((n) => window.walkerInspector.frame().taken > n, {}, taken);
    assert.deepEqual(await state(), at, `a new frame after ${key} keeps the list's scroll and focus`);
  }
  // The tree's keys: fold and unfold the thigh's leg, Home and End; none reaches the program.
  const view = () => page.evaluate(() => [Module._walkerViewYaw(), Module.walkerWalking()]);
  const before = await view();
  await press(page, 'ArrowLeft');
  const leg = await page.evaluate(() => document.activeElement.dataset.level);
  assert.ok(leg, 'ArrowLeft on a line moves to its level');
  await press(page, 'ArrowLeft');
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-expanded')), 'false', 'and again folds it');
  await press(page, 'ArrowRight');
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-expanded')), 'true');
  // A fold is kept by part: through the beam's frame, whose calls differ.
  await press(page, 'ArrowLeft');
  const { taken } = await frame(page);
  await page.evaluate(() => Module.walkerKey('a'));
  await page.waitForFunction((n) => window.walkerInspector.frame().taken > n, {}, taken);
  assert.equal(await page.$eval(`[data-key="${leg}"]`, (item) => item.getAttribute('aria-expanded')), 'false', 'folded in the beam\'s frame');
  assert.equal((await state()).focused, leg, 'and the focus kept on it');
  await press(page, 'ArrowRight');
  await press(page, 'End');
  await press(page, 'Home');
  assert.equal(await page.evaluate(() => document.activeElement === document.querySelector('#inspector-tree [role=treeitem]')), true);
  assert.deepEqual(await view(), before, 'the tree\'s keys never reach the program');
  // One Tab stop for the whole tree: from the slider to Close in a handful.
  await page.$eval('#inspector-order', (slider) => slider.focus());
  let tabs = 0;
  while (await page.evaluate(() => document.activeElement.id) !== 'inspector-close' && tabs < 20) {
    await press(page, 'Tab');
    tabs++;
  }
  assert.ok(tabs <= 6, `${tabs} Tabs from the slider to Close`);
  await page.close();
});

test('a chosen shape covered by later ones says which, and how much of it stays in sight, as its pixels show', async () => {
  const { page } = await inspect();
  const f = await frame(page);
  // The front pair's leg 0 hip ball, which the front thigh and the rear legs may cover, and every other shape.
  let explained = 0;
  for (const call of shapes(f).filter((c) => c.box)) {
    await page.evaluate((n) => document.querySelector(`#inspector-tree [data-shape="${n}"]`).click(), call.shape);
    const said = await page.$eval('#inspector-covered', (p) => p.textContent);
    const [, inSight] = /(\d+) of its \d+ pixels stay in sight|all its (\d+) pixels are in sight/.exec(said).filter(Boolean);
    const lit = count(await canvasPicture(page), COLOURS[classOf(call.colour)]);
    // Rasterisers differ at edges: a pixel's width around the shape's outline.
    const edge = 2 * (call.box[2] - call.box[0] + call.box[3] - call.box[1]);
    assert.ok(Math.abs(lit - Number(inSight)) <= edge, `${f.names[call.shape]}: ${said} (${lit} pixels of its colour)`);
    // A later shape covers only pixels hidden, and every hidden pixel is covered.
    const hidden = Number(/(\d+) pixels (?:are|stay) in sight/.exec(said)[1]) - Number(inSight);
    const by = [...said.matchAll(/\((\d+) pixels\)/g)].map(([, n]) => Number(n));
    assert.ok(by.every((n) => n > 0 && n <= hidden) && by.reduce((a, b) => a + b, 0) >= hidden, `${f.names[call.shape]}: ${said}`);
    if (/Drawn after it/.test(said)) explained++;
    await page.evaluate((n) => document.querySelector(`#inspector-tree [data-shape="${n}"]`).click(), call.shape);
  }
  assert.ok(explained > 0, 'some shape is covered by a later one');
  await addScript(page, readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8'));
  const violations = await page.evaluate(async () => (await window.axe.run()).violations.map((v) => `${v.id}: ${v.help}`));
  assert.deepEqual(violations, [], `with a shape chosen, the panel passes the accessibility rules: ${violations}`);
  await page.close();
});

// The program's source as it is in the tree, not as the page ships it.
const SOURCE = new Map();
const sourceLine = (file, line) => {
  if (!SOURCE.has(file)) SOURCE.set(file, readFileSync(new URL(`../../src/${file}`, import.meta.url), 'utf8').split('\n'));
  return SOURCE.get(file)[line - 1] ?? '';
};

test('each shape\'s chain of routines holds, line by line in src/, the call of the next, and the source pane marks it and what a line led to', async () => {
  const { page } = await inspect();
  const plain = await frame(page);
  await page.evaluate(() => Module.walkerKey('a'));
  await page.waitForFunction((n) => window.walkerInspector.frame().taken > n, {}, plain.taken);
  const shot = await frame(page);
  for (const f of [plain, shot]) {
    for (const call of shapes(f)) {
      const part = f.names[call.shape];
      assert.equal(call.chain[0]?.routine, 'display', `${part}: drawn under display`);
      call.chain.forEach(({ routine, file, line }, k) => {
        const next = call.chain[k + 1]?.routine ?? call.name;
        assert.match(sourceLine(file, line), new RegExp(`\\b${next}\\(`), `${part}: ${routine} at ${file}:${line} calls ${next}`);
      });
    }
  }
  assert.ok(shapes(shot).some((c) => shot.names[c.shape] === 'beam'), 'the beam\'s frame, its chain checked too');

  // Chosen, the thigh's chain is marked in its file; its line in drawLegPair
  // marks in the list the calls of both pairs' legs 0.
  const thigh = shapeNamed(shot, 'front pair, leg 0 (its left): thigh');
  await choose(page, thigh.shape);
  await page.waitForFunction(() => document.querySelector('#inspector-source-lines .in-chain'));
  const last = thigh.chain.at(-1);
  assert.equal(await page.$eval('#inspector-source-file', (s) => s.value), last.file);
  const marked = await page.$$eval('#inspector-source-lines .in-chain', (lines) => lines.map((l) => Number(l.dataset.line)));
  assert.deepEqual(marked, thigh.chain.filter((l) => l.file === last.file).map((l) => l.line).sort((a, b) => a - b));
  const pairLine = thigh.chain.find((l) => l.routine === 'drawLegPair').line;
  await page.$eval(`#inspector-source-lines [data-line="${pairLine}"]`, (line) => line.click());
  const led = await page.$$eval('#inspector-tree .led[data-shape]', (lines) => lines.map((l) => Number(l.dataset.shape)));
  assert.deepEqual(led.map((n) => shot.names[n]), Object.values(shot.names).filter((n) => /^(front|rear) pair, leg 0/.test(n)));
  assert.match(await page.$eval(`#inspector-tree [data-level] > .line`, (l) => l.textContent), /push, in display/,
    'a push level names its routine');
  await page.close();
});
