// The frame inspector as a teacher uses it, against the record and the
// canvas's pixels: what the pops threw away before a shape, the painter's
// order redrawn, a transform's axes at a step and what-if edits.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { openPage, pressAndDraw, servedPage } from './browser.mjs';

const shared = servedPage();

async function inspect() {
  const { page } = await openPage(shared.browser, shared.server.url);
  await pressAndDraw(page, ['p']);
  await page.click('#inspector-toggle');
  await page.waitForFunction(() => window.walkerInspector.frame() !== null);
  return page;
}

const frame = (page) => page.evaluate(() => window.walkerInspector.frame());
const shapeNamed = (f, name) => f.calls.find((c) => c.shape >= 0 && f.names[c.shape] === name);
const choose = (page, shape) => page.$eval(`#inspector-tree [data-shape="${shape}"]`, (line) => line.click());
const THIGH = 'front pair, leg 0 (its left): thigh';
// The lowest depth of the stack over calls from..to-1.
const lowest = (f, from, to) => Math.min(...f.calls.slice(from, to).map((c) => c.depth));

test('a transform struck out of a shape\'s chain is one a pop threw away; the others are in force', async () => {
  const page = await inspect();
  const f = await frame(page);
  const thigh = shapeNamed(f, THIGH);
  await choose(page, thigh.shape);
  const steps = await page.$$eval('#inspector-chain > li[data-call]', (items) => items.map((item) => ({
    call: Number(item.dataset.call), discarded: item.classList.contains('discarded'), text: item.textContent,
    struck: getComputedStyle(item.firstElementChild).textDecorationLine,
    rows: [...item.querySelectorAll('tbody tr')].map((row) => [...row.querySelectorAll('td')].map((td) => Number(td.textContent.replace('−', '-')))),
  })));
  const struck = steps.filter((s) => s.discarded);
  assert.ok(struck.some((s) => f.calls[s.call].name === 'glScalef' && f.calls[s.call].args[0] === Math.fround(0.6)),
    'the hip block\'s scale is struck out for the legs');
  for (const s of steps.filter((st) => st.call !== thigh.index)) {
    const t = f.calls[s.call];
    const m = t.modelview;
    assert.ok(s.rows.every((row, r) => row.every((v, c) => Math.abs(v - m[c * 4 + r]) <= 1e-3 * Math.max(1, Math.abs(v)))),
      `call ${t.index + 1}: its table is the matrix it leaves, ${s.rows}`);
    const popped = lowest(f, t.index, thigh.index) < t.depth;
    assert.equal(s.discarded, popped, `call ${t.index + 1}, ${t.name}: struck out only when a pop went below its level`);
    if (!s.discarded) continue;
    assert.equal(s.struck, 'line-through');
    const pop = f.calls[Number(/the pop at call (\d+)/.exec(s.text)[1]) - 1];
    assert.ok(pop.name === 'glPopMatrix' && pop.index > t.index && pop.depth < t.depth, `${s.text}: that pop discarded it`);
  }
  assert.ok(steps.some((s) => /kept: still in force/.test(s.text)), 'what a pop left in force is marked as kept');

  // The stack at the thigh: one matrix for each level, the top its own.
  const levels = await page.$$eval('#inspector-stack > li', (items) => items.map((i) => i.className));
  assert.equal(levels.length, thigh.depth + 1);
  assert.deepEqual(levels.map((c) => c === 'top'), levels.map((_, k) => k === 0), 'the top marked, listed first');
  await page.close();
});

// Pixels of a canvas of the panel's, RGBA from the top row.
const pixelsOf = (page, id) => page.$eval(id, (c) => Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data));
const countIn = (data, width, box, rgb) => {
  let n = 0;
  for (let y = box[1]; y < box[3]; y++) {
    for (let x = box[0]; x < box[2]; x++) {
      const p = 4 * (y * width + x);
      if (rgb.every((v, k) => Math.abs(data[p + k] - v) <= 2)) n++;
    }
  }
  return n;
};

test('"draw it last" shows every pixel of a covered shape in its colour; the program\'s own, only those in sight', async () => {
  const page = await inspect();
  const f = await frame(page);
  const hips = shapeNamed(f, 'hip block');
  await choose(page, hips.shape);
  const said = await page.$eval('#inspector-covered', (p) => p.textContent);
  const [, inSight, pixels] = /(\d+) of its (\d+) pixels stay in sight/.exec(said).map(Number);
  assert.ok(inSight < pixels, `the hip block is covered: ${said}`);
  await page.click('#inspector-last');
  const width = await page.$eval('#canvas', (c) => c.width);
  const rgb = hips.colour.map((v) => Math.round(v * 255));
  const edge = 2 * (hips.box[2] - hips.box[0] + hips.box[3] - hips.box[1]);
  const last = countIn(await pixelsOf(page, '#inspector-aside'), width, hips.box, rgb);
  const own = countIn(await pixelsOf(page, '#inspector-own'), width, hips.box, rgb);
  assert.ok(Math.abs(last - pixels) <= edge, `drawn last, ${last} of its ${pixels} pixels in its colour`);
  assert.ok(Math.abs(own - inSight) <= edge, `the program's own, ${own}; ${inSight} in sight`);
  assert.match(await page.$eval('#inspector-aside-caption', (c) => c.textContent), /last.*Not the program's frame/);
  await page.click('#inspector-depth');
  assert.match(await page.$eval('#inspector-aside-caption', (c) => c.textContent), /depth buffer/);
  await page.close();
});

// Where a matrix puts a point on the canvas, worked out here from the record.
const apply = (m, v) => [0, 1, 2, 3].map((r) => m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3]);
const project = (f, m, p) => {
  const [x, y, , w] = apply(f.projection, apply(m, [...p, 1]));
  return [f.viewport[0] + (x / w + 1) * f.viewport[2] / 2, f.bufferHeight - (f.viewport[1] + (y / w + 1) * f.viewport[3] / 2)];
};
const ORANGE = [255, 128, 0];
const centroid = (data, width) => {
  const at = [];
  for (let p = 0; p < data.length; p += 4) if (ORANGE.every((v, k) => data[p + k] === v)) at.push([(p / 4) % width, Math.floor(p / 4 / width)]);
  return at.length ? [0, 1].map((k) => at.reduce((s, q) => s + q[k], 0) / at.length + 0.5) : null;
};

test('the axes at each step of the thigh\'s chain sit where that step\'s matrix puts the origin', async () => {
  const page = await inspect();
  const f = await frame(page);
  const thigh = shapeNamed(f, THIGH);
  await choose(page, thigh.shape);
  const width = await page.$eval('#canvas', (c) => c.width);
  const steps = await page.$$eval('#inspector-chain > li:not(.discarded)', (items) => items.length);
  const seen = [];
  for (let k = 0; k < steps; k++) {
    await page.click('#inspector-step-next');
    const call = await page.$eval('#inspector-chain > .step-chosen', (item) => item.dataset.call);
    const matrix = call === undefined ? f.start : f.calls[Number(call)].modelview;
    const [x, y] = project(f, matrix, [0, 0, 0]);
    const at = centroid(await pixelsOf(page, '#inspector-axes'), width);
    if (x < 0 || y < 0 || x >= width || y >= width) continue;
    assert.ok(at && Math.hypot(at[0] - x, at[1] - y) <= 1.5, `step ${k + 1} (call ${call}): origin drawn at ${at}, its matrix puts it at ${[x, y]}`);
    seen.push(at.join());
  }
  assert.ok(new Set(seen).size > 3, 'the origin moves from step to step');
  assert.equal(await page.$eval('#inspector-axes', (c) => getComputedStyle(c).backgroundColor), 'rgba(0, 0, 0, 0)',
    'the walker shows through the axes drawn over it');
  await page.click('#inspector-step-previous');
  assert.match(await page.$eval('#inspector-step-text', (t) => t.textContent), new RegExp(`^Step ${steps - 1} of ${steps}`));
  await page.close();
});

const multiply = (a, b) => Array.from({ length: 16 }, (_, k) => {
  const [c, r] = [Math.floor(k / 4), k % 4];
  return [0, 1, 2, 3].reduce((sum, i) => sum + a[i * 4 + r] * b[c * 4 + i], 0);
});
const rotateX = (angle) => {
  const [c, s] = [Math.cos(angle * Math.PI / 180), Math.sin(angle * Math.PI / 180)];
  return [1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1];
};
const translate = ([x, y, z]) => [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1];
const scale = ([x, y, z]) => [x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1];
const boxOf = (f, m) => {
  const corners = [0, 1, 2, 3, 4, 5, 6, 7].map((k) => project(f, m, [k & 1 ? 0.5 : -0.5, k & 2 ? 0.5 : -0.5, k & 4 ? 0.5 : -0.5]));
  return [Math.min(...corners.map((p) => p[0])), Math.min(...corners.map((p) => p[1])),
    Math.max(...corners.map((p) => p[0])), Math.max(...corners.map((p) => p[1]))];
};

test('what-if: swapping the thigh\'s rotate and translate moves its box where the swapped order puts it; reset undoes it', async () => {
  const page = await inspect();
  const f = await frame(page);
  const thigh = shapeNamed(f, THIGH);
  await choose(page, thigh.shape);
  const chain = await page.$$eval('#inspector-chain > li:not(.discarded)[data-call]', (items) => items.map((i) => Number(i.dataset.call)));
  const k = chain.findIndex((c, j) => f.calls[c].name === 'glRotatef' && f.calls[c].args[1] === 1 && f.calls[chain[j + 1]]?.name === 'glTranslatef');
  const [rotate, move, grow] = chain.slice(k, k + 3).map((c) => f.calls[c]);
  const plain = await page.$eval('#canvas', (c) => c.toDataURL());
  await page.$$eval('#inspector-chain > li:not(.discarded) > button', (buttons, n) => buttons[n].click(), k + 1);
  // The hip's angle typed in first, so that the order shows.
  await page.$eval('#inspector-whatif-args input[data-argument="0"]', (input) => {
    input.value = '40';
    input.dispatchEvent(new Event('input', { bubbles: true }));
  });
  // Clicked as the list's lines are: WebDriver would scroll it under the sticky canvas.
  await page.$eval('#inspector-swap-next', (button) => button.click());
  assert.deepEqual(await page.evaluate(() => window.walkerInspector.edits()),
    [{ call: rotate.index, argument: 0, value: 40 }, { swap: [rotate.index, move.index] }]);
  const unswapped = boxOf(f, [rotateX(40), translate(move.args), scale(grow.args)].reduce(multiply, f.calls[chain[k - 1]].modelview));
  const before = f.calls[chain[k - 1]].modelview;
  const expected = boxOf(f, [translate(move.args), rotateX(40), scale(grow.args)].reduce(multiply, before));
  const box = await page.evaluate((n) => {
    const at = Module._walkerReplayedBox(n) / 4;
    return at ? Array.from(Module.HEAP32.subarray(at, at + 4)) : null;
  }, thigh.shape);
  assert.ok(box.every((v, j) => Math.abs(v - expected[j]) <= 1.5), `swapped, the thigh's box ${box}; its order puts it at ${expected}`);
  assert.ok(box.some((v, j) => Math.abs(v - unswapped[j]) > 3), `the box moved from ${unswapped}`);
  assert.notEqual(await page.$eval('#canvas', (c) => c.toDataURL()), plain, 'the canvas drawn again with the swap');
  assert.equal(await page.$eval('#inspector-whatif-badge', (b) => b.hidden), false, 'marked as a change to this frame');
  await page.$eval('#inspector-whatif-reset', (button) => button.click());
  assert.equal(await page.$eval('#canvas', (c) => c.toDataURL()), plain, 'reset: the frame as recorded');
  await page.close();
});
