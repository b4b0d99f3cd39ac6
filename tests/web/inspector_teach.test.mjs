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
  })));
  const struck = steps.filter((s) => s.discarded);
  assert.ok(struck.some((s) => f.calls[s.call].name === 'glScalef' && f.calls[s.call].args[0] === Math.fround(0.6)),
    'the hip block\'s scale is struck out for the legs');
  for (const s of steps.filter((st) => st.call !== thigh.index)) {
    const t = f.calls[s.call];
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
