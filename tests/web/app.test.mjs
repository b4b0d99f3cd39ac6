// The page as the program's window and as an app: full screen with the
// program's reshape, the drawing buffer in device pixels, offline use and
// installability, in a browser engine.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { WEB_DIR, pageFiles, started } from '../../tools/chromium.mjs';
import {
  ENGINE, UNEXPLAINED_ALLOWED, canvasPicture, count, cycleSteps, narrowFrame, nextFrame, openPage, press, pressAndDraw, samePixels,
  servedCopy, servedPage, startDesktop, stepToPicture, unexplainedPixels,
} from './browser.mjs';

const shared = servedPage();

const reshaped = (page) => page.evaluate(() => [Module._walkerReshapedWidth(), Module._walkerReshapedHeight()]);

// Once the window's size and the program's have stayed the same for five
// frames: a browser may pass through other sizes on its way to full screen
// (Firefox does), which with no window manager is the browser's window.
async function settled(page) {
  for (let last = '', same = 0; same < 5;) {
    await nextFrame(page);
    const now = String(await page.evaluate(() => [window.innerWidth, window.innerHeight, Module._walkerReshapedWidth(),
      Module._walkerReshapedHeight()]));
    [same, last] = [now === last ? same + 1 : 0, now];
  }
}

// The rows and columns the walker's colours reach.
function extent(picture) {
  const box = { top: Infinity, bottom: -1, left: Infinity, right: -1 };
  picture.classes.forEach((c, i) => {
    if (c === 0) return;
    const [x, y] = [i % picture.width, Math.floor(i / picture.width)];
    Object.assign(box, { top: Math.min(box.top, y), bottom: Math.max(box.bottom, y),
      left: Math.min(box.left, x), right: Math.max(box.right, x) });
  });
  return { ...box, height: box.bottom - box.top + 1, width: box.right - box.left + 1 };
}

test('full screen: reshape gets the screen, the walker keeps its share of the height, keys act, and leaving restores it', async () => {
  const { page } = await openPage(shared.browser, shared.server.url);
  await pressAndDraw(page, ['p']);
  const windowed = await canvasPicture(page);
  await page.click('#fullscreen');
  await page.waitForFunction(() => document.fullscreenElement);
  await settled(page);
  const screen = await page.evaluate(() => [window.innerWidth, window.innerHeight]);
  assert.deepEqual(await reshaped(page), screen, 'reshape is given the screen, in device pixels');
  const full = await canvasPicture(page);
  assert.deepEqual([full.width, full.height], screen);
  // The desktop's rule: the vertical field of view is kept, so the walker is
  // scaled by the heights' ratio both ways, and a wider screen shows more at the sides.
  const [before, now] = [extent(windowed), extent(full)];
  const scale = screen[1] / windowed.height;
  for (const side of ['height', 'width']) {
    assert.ok(Math.abs(now[side] - before[side] * scale) <= 3, `${side}: ${now[side]} pixels, ${before[side]} at 400 x 400`);
  }
  // As far off the middle as it was, scaled: the walker is not symmetric at every step of its gait.
  const offMiddle = (box, width) => (box.left + box.right) / 2 - width / 2;
  assert.ok(Math.abs(offMiddle(now, screen[0]) - offMiddle(before, windowed.width) * scale) <= 3 * scale,
    `the walker stays in the middle: ${now.left} to ${now.right} of ${screen[0]}, ${before.left} to ${before.right} of ${windowed.width}`);

  const turret = await page.evaluate(() => Module._walkerTurretYaw());
  await pressAndDraw(page, ['z']);
  assert.equal(await page.evaluate(() => Module._walkerTurretYaw()), turret + 5, 'z turns the turret in full screen');
  assert.ok(!samePixels(full, await canvasPicture(page)), 'and the picture shows it');
  await pressAndDraw(page, ['x']);

  await page.click('#fullscreen');
  await page.waitForFunction(() => !document.fullscreenElement && Module._walkerReshapedWidth() === 400);
  await nextFrame(page);
  assert.deepEqual(await reshaped(page), [400, 400]);
  assert.ok(samePixels(windowed, await canvasPicture(page)), 'the same pixels as before full screen');
  await page.close();
});

test('the full-screen button\'s focus ring leaves the canvas as it was', async () => {
  const { page } = await openPage(shared.browser, shared.server.url);
  try {
    await pressAndDraw(page, ['p']);
    const canvas = await page.$('#canvas');
    const before = await canvas.screenshot();
    await page.evaluate(() => document.getElementById('canvas').focus());
    await press(page, 'Tab');
    assert.equal(await page.evaluate(() => document.querySelector(':focus-visible')?.id), 'fullscreen');
    // Where the button's focus scrolled the page, back to the top, where
    // WebKit's screenshots show what is there once it has been drawn again.
    await page.evaluate(() => window.scrollTo(0, 0));
    await nextFrame(page);
    await nextFrame(page);
    assert.ok((await canvas.screenshot()).equals(before), 'the canvas\'s picture changed');
  } finally {
    await page.close();
  }
});

test('at two device pixels to a CSS pixel the buffer is 800 x 800, and halved it is the desktop\'s picture', async (t) => {
  const desktop = await startDesktop();
  const { page } = await openPage(shared.browser, shared.server.url, { width: 800, height: 600, deviceScaleFactor: 2 });
  try {
    assert.deepEqual(await reshaped(page), [800, 800]);
    assert.deepEqual(await page.$eval('canvas', (c) => [c.width, c.height]), [800, 800]);
    await pressAndDraw(page, ['q', ...Array(18).fill('ArrowLeft'), '=', '=']);
    await desktop.press([...Array(18).fill('ArrowLeft'), '=', '=']);
    // Both paused at whatever step they had reached, then both stepped on to
    // the cycle's first, so that every run compares the same pictures (the
    // halved picture's edges differ from step to step, up to 13 pixels).
    await stepToPicture(page, await desktop.picture(), 2);
    const toStart = (await cycleSteps(page) - await page.evaluate(() => Module._walkerStepInCycle())) % await cycleSteps(page);
    await pressAndDraw(page, Array(toStart).fill('s'));
    await desktop.press(Array(toStart).fill('s'));
    const target = await desktop.picture();
    for (const keys of [[], ['z', 'z', ',', 'ArrowUp', '-'], ['s', 'x', '.', ...Array(6).fill('ArrowRight')]]) {
      for (const key of keys) await press(page, key);
      await nextFrame(page);
      await desktop.press(keys);
      const [onPage, onDesktop] = [await canvasPicture(page, 2), await desktop.picture()];
      assert.ok(count(onDesktop, 'blue') > 500, 'the desktop shows the walker');
      const unexplained = unexplainedPixels(onPage, onDesktop);
      // Which side moved, should they differ: the desktop since the page was stepped to its picture, or the page.
      const moved = `the desktop ${unexplainedPixels(target, onDesktop)} and the page ${unexplainedPixels(target, onPage)} from that picture`;
      const said = `after ${keys.join(' ') || 'no key'}: ${unexplained} pixels differ beyond an edge's`;
      t.diagnostic(said);
      assert.ok(unexplained <= UNEXPLAINED_ALLOWED, keys.length === 0 ? `${said}; ${moved}` : said);
    }
  } finally {
    desktop.stop();
    await page.close();
  }
});

test('on a narrow screen the walker is drawn at the canvas\'s size in device pixels from its first frame', async () => {
  const { page } = await openPage(shared.browser, shared.server.url, { width: 800, height: 600, deviceScaleFactor: 2 }, () => {
    const viewport = WebGLRenderingContext.prototype.viewport;
    window.viewports = [];
    WebGLRenderingContext.prototype.viewport = function (...args) {
      window.viewports.push(args.slice(2));
      return viewport.apply(this, args);
    };
  });
  try {
    const inPhone = await narrowFrame(page, 360, 640);
    const { width, buffer, reshaped, viewports } = await inPhone((w) => {
      const canvas = w.document.getElementById('canvas');
      return { width: canvas.getBoundingClientRect().width, buffer: [canvas.width, canvas.height],
        reshaped: [w.Module._walkerReshapedWidth(), w.Module._walkerReshapedHeight()], viewports: w.viewports };
    });
    assert.ok(width < 400, `the canvas is narrowed to the screen (${width} CSS pixels)`);
    assert.deepEqual(buffer, [Math.round(width * 2), Math.round(width * 2)]);
    assert.deepEqual(reshaped, buffer);
    assert.deepEqual([...new Set(viewports.map(String))], [String(buffer)], 'no frame at another size, the first included');
  } finally {
    await page.close();
  }
});

// The browser's own verdict, which only Chromium's DevTools protocol gives.
test('installable', { skip: ENGINE !== 'chromium' && `${ENGINE} has no installability check an automation client can read` }, async () => {
  const { site } = await servedCopy();
  const { page } = await openPage(shared.browser, site.url);
  try {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const client = await page.createCDPSession();
    assert.deepEqual((await client.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  } finally {
    await page.close();
    site.stop();
  }
});

test('offline after one visit; a new build is served from the second visit after it', async () => {
  // A copy of the page, which the test builds again with a change.
  const { dir, site } = await servedCopy();
  const { page } = await openPage(shared.browser, site.url);
  try {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await page.setOfflineMode(true);
    await page.reload({ waitUntil: 'load' });
    await started(page);
    // The page opened offline as the service worker's client: each of its
    // files went through the worker, whose cache holds all of them.
    const [controlled, cached] = await page.evaluate(async () => [navigator.serviceWorker.controller !== null,
      (await (await caches.open((await caches.keys())[0])).keys()).map((request) => request.url)]);
    assert.ok(controlled, 'the service worker serves the page');
    const kept = pageFiles().filter((file) => file !== 'service-worker.js');  // the browser keeps the worker itself
    assert.deepEqual(kept.filter((file) => !cached.includes(new URL(file, site.url).href)), [], 'files not kept');
    const turns = await page.evaluate(() => Module._walkerStepInCycle());
    await new Promise((done) => setTimeout(done, 200));
    assert.notEqual(await page.evaluate(() => Module._walkerStepInCycle()), turns, 'it walks');
    const licence = await page.$eval('footer a', async (a) => (await fetch(a.href)).text());
    assert.match(licence, /^MIT License\n[^]*Permission is hereby granted/, 'the footer\'s licence, offline too');

    // The build's own step names the new cache after the changed files.
    const index = join(dir, 'index.html');
    writeFileSync(index, readFileSync(index, 'utf8').replace('<h1>walker</h1>', '<h1>walker, rebuilt</h1>'));
    execFileSync('cmake', [`-DPAGE_DIR=${dir}`, '-P', join(WEB_DIR, 'web/service_worker.cmake')]);
    await page.setOfflineMode(false);
    const heading = () => page.$eval('h1', (h) => h.textContent);
    const cacheNames = await page.evaluate(() => caches.keys());
    await page.reload({ waitUntil: 'load' });
    assert.equal(await heading(), 'walker', 'the first visit after the build is served from the cache');
    // The new worker has taken over once it has dropped the old cache.
    await page.waitForFunction(async (old) => (await caches.keys()).join() !== old, {}, cacheNames.join());
    await page.waitForFunction(async () => (await caches.keys()).length === 1, { timeout: 10000 })
      .catch(() => assert.fail('no new service worker took over: the build left it as it was'));
    await page.reload({ waitUntil: 'load' });
    await started(page);
    assert.equal(await heading(), 'walker, rebuilt');
  } finally {
    await page.close();
    site.stop();
  }
});
