// A link to what the page shows: copied from the frame inspector, opened in
// a new page, it gives the same pixels and the same view of the frame; a bad
// link gives words and the page's start, walking.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { canvasPicture, openPage, pressAndDraw, samePixels, servedPage } from './browser.mjs';

const shared = servedPage();
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// The state the program's accessors read, and the panel's view of its frame.
const state = (page) => page.evaluate(async () => ({
  step: Module._walkerStepInCycle(), yaw: Module._walkerViewYaw(), pitch: Module._walkerViewPitch(),
  distance: Module._walkerViewDistance(), turret: Module._walkerTurretYaw(), legs: Module._walkerLegYaw(),
  wire: Module._walkerWireframe(), walking: Module.walkerWalking(), inspecting: !document.getElementById('inspector').hidden,
  view: window.walkerInspector.frame() ? (await window.walkerInspector.panel()).view() : null,
}));

// Polled through a navigation, which a page's evaluation may not survive.
async function until(page, fn, what) {
  for (const end = Date.now() + 30000; Date.now() < end; await sleep(50)) {
    if (await page.evaluate(fn).catch(() => false)) return;
  }
  throw new Error(`waited for ${what}`);
}

test('a copied link opens the same pixels and the same view of the frame', async () => {
  const { page } = await openPage(shared.browser, shared.server.url);
  // Steps, and a turn of single degrees from the spin, as no arrow turns.
  await pressAndDraw(page, ['p', ...'sssssss', 'ArrowLeft', 'ArrowUp', 'ArrowUp', 'z', '.', '=', '1', 'd', 's', 's', 'd']);
  await page.$eval('#inspector-toggle', (button) => button.click());
  await until(page, () => window.walkerInspector.frame() !== null, 'the first frame');
  await pressAndDraw(page, ['a']);
  await until(page, () => Object.values(window.walkerInspector.frame().names).includes('beam'), 'the beam\'s frame');
  await page.$eval('#inspector-tree [data-shape="9"]', (line) => line.click());
  await page.$eval('#inspector-order', (slider) => {
    slider.value = '20';
    slider.dispatchEvent(new Event('input'));
  });
  // The third step in force: the eye, then the first two transforms that still hold.
  const inForce = '#inspector-chain > li:not(.discarded)';
  await page.$$eval(inForce, (steps) => steps[2].click());
  await page.$eval('#inspector-swap-next', (swap) => swap.click());  // a what-if, which the link holds too
  await page.$eval('#inspector-link', (button) => button.click());
  await until(page, () => document.getElementById('inspector-link-status').textContent !== '', 'the link');
  const [link, shown, picture] = [await page.evaluate(() => location.href), await state(page), await canvasPicture(page)];
  const { whatif, ...view } = shown.view;
  assert.deepEqual(view, { beam: true, upto: 20, shape: 9, chain: 2 });
  assert.equal(whatif?.length, 1, 'the swap, in the link');
  assert.equal(shown.yaw, 7);
  await page.close();

  const opened = (await openPage(shared.browser, link)).page;
  await until(opened, () => !document.getElementById('inspector-selected').hidden, 'the chosen shape');
  assert.deepEqual(await state(opened), shown);
  assert.ok(samePixels(await canvasPicture(opened), picture), 'the same pixels');
  assert.equal(await opened.$$eval(inForce, (steps) => steps.findIndex((step) => step.classList.contains('chosen'))), 2);
  await opened.close();
});

test('a bad link says so, puts none of itself in the page, and the page starts as always', async () => {
  const start = await openPage(shared.browser, shared.server.url);
  const fresh = await state(start.page);
  await start.page.close();
  const good = 'step=159&yaw=-5&inspect=1&upto=3&end';
  const bad = [good.slice(0, -6), `colour=red&${good}`, 'step=160&end', '%%%%&&==\u00ff', `step=1&${'x'.repeat(100000)}&end`,
    '<img src=x onerror="window.hacked=1"><script>window.hacked=1</script>&end',
    // Found out only once the frame is recorded: the page is loaded again.
    'inspect=1&shape=999&end'];
  const { page } = await openPage(shared.browser, shared.server.url);
  for (const [i, text] of bad.entries()) {
    await page.goto(`${shared.server.url}?${i}#${text}`);
    await until(page, () => document.getElementById('link-message')?.textContent !== '' && window.walkerInspector, text.slice(0, 40));
    const said = await page.evaluate(() => [document.getElementById('link-message').textContent,
      document.querySelectorAll('#link-message *, img').length, window.hacked ?? 'none']);
    assert.match(said[0], /^This link could not be opened: .+\. The walker starts as it always does\.$/, text.slice(0, 40));
    assert.deepEqual(said.slice(1), [0, 'none'], 'nothing of it made into markup or run');
    const now = await state(page);
    assert.deepEqual({ ...now, step: 0 }, { ...fresh, step: 0 }, `${text.slice(0, 40)}: the start, walking`);
  }
  await page.close();
});
