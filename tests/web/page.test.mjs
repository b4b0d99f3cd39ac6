// The page in a browser engine, served over HTTP, driven by real key events.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { describe, test } from 'node:test';
import { createRequire } from 'node:module';
import {
  addScript, canvasPicture, NARROW_FRAME, count, cycleSteps, narrowFrame, nextFrame, openPage, press, pressAndDraw, samePixels, servedCopy,
  servedPage, startDesktop, stepToPicture, UNEXPLAINED_ALLOWED, unexplainedPixels,
} from './browser.mjs';

const AXE_SOURCE = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const shared = servedPage();

async function fresh() {
  return openPage(shared.browser, shared.server.url);
}

// Whether the picture changes within ten frames: the walk is running (it
// takes several steps a frame).
async function walking(page) {
  const before = await canvasPicture(page);
  for (let i = 0; i < 10; i++) {
    await nextFrame(page);
    if (!samePixels(before, await canvasPicture(page))) return true;
  }
  return false;
}

describe('the page', () => {
  test('loads only its own files, with no error, and shows the four information lines', async () => {
    const { page, seen } = await fresh();
    assert.equal(await page.title(), 'Meu modelo :P');  // spelled out: the check that it is the window's title
    const lines = (await page.$eval('#info', (info) => info.textContent)).split('\n');
    ['VENDOR', 'RENDERER', 'EXTENSIONS', 'VERSION'].forEach((label, i) => assert.match(lines[i], new RegExp(`^${label} : .+`)));
    assert.ok(await walking(page), 'the walker walks by itself');
    assert.deepEqual(seen.errors, []);
    assert.deepEqual(seen.requests.filter((url) => !url.startsWith(shared.server.url) && !url.startsWith('data:')), []);
    await page.close();
  });

  test('passes the automated accessibility rules', async () => {
    const { page } = await fresh();
    await addScript(page, AXE_SOURCE);
    const violations = () => page.evaluate(async () => (await window.axe.run()).violations.map((v) => `${v.id}: ${v.help}`));
    assert.deepEqual(await violations(), []);
    const canvas = await page.$eval('canvas', (c) => ({
      name: c.getAttribute('aria-label'), description: document.getElementById(c.getAttribute('aria-describedby')).textContent,
    }));
    assert.ok(canvas.name);
    assert.match(canvas.description, /keys in the table below/);
    assert.equal(await page.$$eval('table th[scope=col]', (th) => th.length), 2);
    assert.ok(await page.$$eval('table tbody tr', (rows) => rows.length) >= 10, 'the table has a row for each key');
    const inPhone = await narrowFrame(page, 360, 740);
    await addScript(page, AXE_SOURCE, NARROW_FRAME);
    assert.deepEqual(await inPhone(async (w) => (await w.axe.run()).violations.map((v) => `${v.id}: ${v.help}`)),
      [], 'on a phone-sized screen too');
    await page.close();
  });

  test('fits a 360-pixel phone screen, with finger-sized keys', async () => {
    const { page } = await fresh();
    const inPhone = await narrowFrame(page, 360, 740);
    const layout = await inPhone((w) => ({
      overflow: w.document.documentElement.scrollWidth - w.document.documentElement.clientWidth,
      canvas: w.document.getElementById('canvas').getBoundingClientRect().width,
      small: [...w.document.querySelectorAll('button')].map((b) => b.getBoundingClientRect())
        .filter((r) => r.width > 0 && (r.width < 44 || r.height < 44)).length,  // hidden ones aside
      buttons: w.document.querySelectorAll('button[data-key]').length,
    }));
    assert.equal(layout.overflow, 0, 'sideways scroll');
    assert.equal(layout.buttons, 18, 'a button for every binding of the key table, and pause');
    assert.equal(layout.small, 0, 'buttons under 44 pixels');
    assert.ok(layout.canvas <= 360 - 16, `the canvas scales down to ${layout.canvas} pixels`);
    await page.close();
  });

  test('says so, instead of showing a blank canvas, when there is no WebGL', async () => {
    const page = await shared.browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.evaluateOnNewDocument(() => {
      HTMLCanvasElement.prototype.getContext = () => null;
    });
    await page.goto(shared.server.url, { waitUntil: 'load' });
    assert.match(await page.$eval('#problem', (p) => (p.hidden ? '' : p.textContent)), /no WebGL/);
    assert.ok(await page.$eval('canvas', (c) => c.hidden));
    assert.deepEqual(errors, [], 'the program never started, so it never failed');
    await page.close();
  });

  test('says so when the program\'s file cannot be loaded', async () => {
    const { site } = await servedCopy(['walker.js']);  // a first visit: nothing kept offline yet
    const page = await shared.browser.newPage();
    await page.goto(site.url, { waitUntil: 'load' });
    assert.equal(await page.$eval('#problem', (p) => (p.hidden ? '' : p.textContent)), 'walker.js could not be loaded.');
    await page.close();
    site.stop();
  });
});

describe('keys on the page', () => {
  test('reach the program as the characters typed: shifted digits and punctuation pause', async () => {
    const { page } = await fresh();
    // Each of these types a character the program does not bind. The
    // browser's own GLUT would deliver '!' as '1' (wireframe), '@' as '2',
    // and '`', '#' or '~' as nothing.
    for (const key of ['!', '@', '`', '#', '~', '_', 'A', ' ']) {
      await press(page, 'S');
      assert.ok(await walking(page), `walking before ${JSON.stringify(key)}`);
      const solid = count(await canvasPicture(page), 'blue');
      await press(page, key);
      await nextFrame(page);
      assert.ok(!(await walking(page)), `${JSON.stringify(key)} pauses the walk`);
      assert.ok(count(await canvasPicture(page), 'blue') > solid / 2, `${JSON.stringify(key)} leaves the drawing solid`);
    }
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'space did not scroll the page');
    await page.close();
  });

  test('both minus keys, the main row\'s and the keypad\'s, move the view farther; = nearer', async () => {
    const { page } = await fresh();
    const distance = () => page.evaluate(() => Module._walkerViewDistance());
    const start = await distance();
    for (const [key, change] of [['-', 1], ['NumpadSubtract', 2], ['=', 1], ['=', 0]]) {
      await press(page, key);
      assert.equal(await distance(), start + change, `after ${key}`);
    }
    assert.equal(await page.evaluate(() => Module.walkerWalking()), true, 'and none of them pauses');
    await page.close();
  });

  test('pausing and resuming many times at once leaves one walk, not many', async () => {
    const { page } = await fresh();
    const turns = await page.evaluate(async () => {
      for (let i = 0; i < 20; i++) {
        Module.walkerKey('q');
        Module.walkerKey('S');
      }
      // Idle turns are timer turns: count the timers set in half a second.
      let timers = 0;
      const setTimeout = window.setTimeout;
      window.setTimeout = (...args) => {
        timers++;
        return setTimeout(...args);
      };
      await new Promise((done) => setTimeout(done, 500));
      window.setTimeout = setTimeout;
      return timers;
    });
    // One walk takes at most 125 turns in half a second (4 ms each); 21
    // walks side by side would take far more.
    assert.ok(turns > 10 && turns <= 130, `${turns} idle turns in half a second`);
    await page.close();
  });

  test('a whole cycle of single steps comes back to exactly the same pixels; the beam shows in one frame', async () => {
    const { page } = await fresh();
    const cycle = await cycleSteps(page);
    await pressAndDraw(page, ['q']);
    const start = await canvasPicture(page);
    let moved = 0;
    for (let i = 0; i < cycle; i++) {
      await pressAndDraw(page, ['s']);
      if (i < cycle - 1) moved += samePixels(start, await canvasPicture(page)) ? 0 : 1;
    }
    assert.ok(samePixels(start, await canvasPicture(page)), 'a whole cycle ends where it began');
    assert.ok(moved > cycle - 10, `the walker moves during the cycle (${moved} steps changed it)`);

    await pressAndDraw(page, ['a', 'a']);
    assert.ok(count(await canvasPicture(page), 'white') > 100, 'the beam shows');
    await pressAndDraw(page, ['z']);
    assert.equal(count(await canvasPicture(page), 'white'), 0, 'and is gone in the next frame');
    await page.close();
  });

  test('the readout and the plot follow the steps', async () => {
    const { page } = await fresh();
    const cycle = await cycleSteps(page);
    const readout = () => page.evaluate(() => Object.fromEntries([...document.querySelectorAll('#readout dd, figcaption span[id]')]
      .map((c) => [c.id.replace('readout-', ''), c.textContent])));
    // The readout's first showing comes a frame after the page's scripts have started.
    await page.waitForFunction(() => document.getElementById('readout-walk').textContent !== '');
    // Steps (paused) until the readout shows the cycle's step target; then
    // the readout must show what is expected there.
    const showsAt = async (target, expected) => {
      const now = Number((await readout()).step.split(' ')[0]);
      for (let i = 0; i < (target - now + cycle) % cycle; i++) await press(page, 's');
      await nextFrame(page);
      const shown = await readout();
      assert.deepEqual(Object.fromEntries(Object.keys(expected).map((name) => [name, shown[name]])), expected);
    };
    await page.click('button[data-key=p]');
    await nextFrame(page);
    assert.equal((await readout()).walk, 'paused');
    await showsAt(19, { phase: '1 of 8, step 19 of 20', step: '19 of 160' });
    // The key poses the gait reaches at the end of phase 1 and of the cycle.
    await showsAt(20, {
      phase: '2 of 8, step 0 of 20', step: '20 of 160', leg0: 'hip 35.00°, knee 5.00°', leg1: 'hip -15.00°, knee 15.00°',
    });
    const offsets = [];
    for (let i = 0; i < cycle; i++) {
      await pressAndDraw(page, ['s']);
      offsets.push(Number((await readout()).offset));
    }
    await showsAt(20, { phase: '2 of 8, step 0 of 20' });  // a whole cycle on
    await showsAt(0, {
      phase: '1 of 8, step 0 of 20', step: '0 of 160', leg0: 'hip 30.00°, knee 0.00°', leg1: 'hip -30.00°, knee 0.00°',
      offset: '-0.1876',
    });
    const plotted = await page.$eval('#plot-offset', (line) => line.getAttribute('points').trim().split(/\s+/).length);
    assert.equal(plotted, cycle);
    const shown = await readout();
    assert.equal(shown.lowest, Math.min(...offsets).toFixed(4));
    assert.equal(shown.highest, Math.max(...offsets).toFixed(4));
    await page.click('button[data-key=S]');
    assert.ok(await walking(page));
    await nextFrame(page);
    assert.equal((await readout()).walk, 'walking');
    await page.close();
  });

  test('the hide button hides the readout and plot, and shows them again as they are now', async () => {
    const { page } = await fresh();
    const cycle = await cycleSteps(page);
    const visible = () => page.$$eval('#readout, #plot', (parts) => parts.map((p) => p.checkVisibility()));
    await page.click('button[data-key=p]');
    await page.click('#readout-toggle');
    assert.deepEqual(await visible(), [false, false]);
    await pressAndDraw(page, ['s', 's', 's', 'z', 'ArrowUp', '=', '1', 'D']);
    await page.click('#readout-toggle');
    assert.deepEqual(await visible(), [true, true]);
    const [shown, state] = await page.evaluate(() => [
      [...document.querySelectorAll('#readout dd')].map((cell) => cell.textContent),
      [Module._walkerStepInCycle(), Module._walkerTurretYaw(), Module._walkerViewPitch(), Module._walkerViewDistance()],
    ]);
    const [, , step, , , , turret, , view, motion, drawing] = shown;
    assert.equal(step, `${state[0]} of ${cycle}`);
    assert.deepEqual([turret, view, motion, drawing],
      ['-85°', `turn 0°, tilt 5°, distance ${state[3].toFixed(2)}`, 'dolly on, spin off', 'wireframe']);
    assert.equal(state[1], -85);
    await page.close();
  });

  // All that the keys change, but the walk.
  const state = (page) => page.evaluate(() => [Module._walkerTurretYaw(), Module._walkerLegYaw(), Module._walkerViewYaw(),
    Module._walkerViewPitch(), Module._walkerViewDistance(), Module._walkerWireframe(), Module._walkerAutoDolly(),
    Module._walkerAutoSpin()]);

  test('control keys pause and change nothing else; arrow keys do not scroll the page', async () => {
    const { page } = await fresh();
    const before = await state(page);
    for (const key of ['Delete', 'Backspace', 'Escape', 'Enter']) {
      await press(page, 'S');
      await press(page, key);
      assert.equal(await page.evaluate(() => Module.walkerWalking()), false, `${key} pauses`);
      assert.deepEqual(await state(page), before, `${key} changes nothing else`);
    }
    // A page wider than the window, so that it could scroll sideways too.
    await page.setViewport({ width: 800, height: 300 });
    await page.evaluate(() => {
      document.body.style.minWidth = '2000px';
      window.scrollTo(100, 100);
    });
    for (const key of ['ArrowDown', 'ArrowDown', 'ArrowUp', 'ArrowRight', 'ArrowLeft', 'ArrowRight', ' ']) await press(page, key);
    for (let i = 0; i < 20; i++) await nextFrame(page);  // a browser's smooth scroll would have ended
    assert.deepEqual(await page.evaluate(() => [window.scrollX, window.scrollY]), [100, 100]);
    await page.close();
  });

  test('a character beyond Latin-1 types nothing, as on the desktop: the walk goes on, nothing changes', async () => {
    const { page } = await fresh();
    const before = await state(page);
    // Sent as the event a keyboard that types them sends, which not every
    // engine's automation can type. Cut to a byte, they would be 1 and ¬.
    for (const key of ['ı', '€']) {
      await page.evaluate((k) => document.body.dispatchEvent(new KeyboardEvent('keydown', { key: k, bubbles: true })), key);
      await nextFrame(page);
      assert.equal(await page.evaluate(() => Module.walkerWalking()), true, `${key} pauses the walk`);
      assert.deepEqual(await state(page), before, `${key} changes what the keys change`);
    }
    await page.close();
  });

  test('the plot puts the hips where their angles say, at a known step', async () => {
    const { page } = await fresh();
    const cycle = await cycleSteps(page);
    await pressAndDraw(page, ['p']);
    const step = await page.evaluate(() => Module._walkerStepInCycle());
    await pressAndDraw(page, Array(cycle + 20 - step).fill('s'));  // a whole cycle noted, then step 20
    await nextFrame(page);
    // At step 20, the end of phase 1, leg 0's hip is at 35° and leg 1's at
    // -15°; the plot runs from 90° at its top to -90° 100 units below, over
    // 320 units (spelled out: the check of the plot's scale).
    const x = (20 * 320 / (cycle - 1)).toFixed(1);
    const y = (line) => page.$eval(line, (l, at) => l.getAttribute('points').split(' ')
      .map((p) => p.split(',')).find(([px]) => px === at)?.[1], x);
    assert.equal(await y('#plot-hip0'), ((90 - 35) / 180 * 100).toFixed(1));
    assert.equal(await y('#plot-hip1'), ((90 + 15) / 180 * 100).toFixed(1));
    assert.equal(await page.$eval('#plot-now', (l) => l.getAttribute('x1')), x);
    await page.close();
  });

  test('a seeded storm of 2,000 random keys leaves the page alive and walking', async () => {
    const { page, seen } = await fresh();
    // The dolly keys come as a pair, so that the walker stays in sight.
    const keys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', '=-', 'z', 'x', ',', '.', '1', '2', 'a', 'D', 'd',
      'S', 's', 'q', 'A', '!', '?', ' ', 'Escape', 'Enter', 'Backspace', 'Delete', 'F1', 'Home', 'PageDown', 'Shift'];
    // As the desktop's storms: a new seed each run, printed; WALKER_STORM_SEED replays one.
    const first = Number(process.env.WALKER_STORM_SEED ?? Math.floor(Math.random() * 2 ** 31));
    console.log(`storm seed ${first} (WALKER_STORM_SEED=${first} replays it)`);
    let seed = first;
    const random = () => {  // mulberry32
      seed = (seed + 0x6d2b79f5) | 0;
      let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
      t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
      return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    for (let i = 0; i < 2000; i++) {
      const key = keys[Math.floor(random() * keys.length)];
      for (const k of key === '=-' ? ['=', '-'] : [key]) await press(page, k);
    }
    await pressAndDraw(page, ['2', 'S']);
    assert.ok(await walking(page), `walking after the storm of seed ${first}`);
    assert.ok(count(await canvasPicture(page), 'blue') > 0, `the walker is in sight after the storm of seed ${first}`);
    assert.deepEqual(seen.errors, []);
    await page.close();
  });
});

test('the page draws what the desktop program draws, key for key', async (t) => {
  const desktop = await startDesktop();
  const { page } = await fresh();
  try {
    const both = async (keys, onScreen = false) => {
      for (const key of keys) {
        if (onScreen) await page.click(`button[data-key="${key}"]`);
        else await press(page, key);
      }
      await nextFrame(page);
      await desktop.press(keys);
    };
    // From the side and nearer, where every step moves the legs visibly.
    await pressAndDraw(page, ['q']);
    await both([...Array(18).fill('ArrowLeft'), '=', '=']);

    // Both stopped at whatever step they had reached.
    await stepToPicture(page, await desktop.picture());

    const poses = [
      { name: 'the same step', keys: [] },
      { name: 'turret and legs turned', keys: ['z', 'z', 'z', ',', ','] },
      { name: 'tilted and farther', keys: ['ArrowUp', 'ArrowUp', '-'] },
      { name: 'two steps on, wireframe', keys: ['s', 's', '1'] },
      { name: 'firing, wireframe', keys: ['x', 'a'] },
      { name: 'solid from the front, the legs turned back', keys: ['2', '.', ...Array(15).fill('ArrowRight')] },
      { name: 'close up, wireframe', keys: ['1', '=', '=', 'ArrowDown'] },
      // The on-screen keys, each at least once, against the desktop's keys.
      { name: 'buttons: view, turret, legs, solid', keys: ['ArrowLeft', 'ArrowUp', 'z', ',', '-', '2'], onScreen: true },
      { name: 'buttons: back, nearer, firing, wireframe',
        keys: ['ArrowRight', 'ArrowRight', 'ArrowDown', 'x', '.', '=', '1', 'a'], onScreen: true },
      { name: 'buttons: dolly and spin for ten steps', keys: ['D', 'd', ...Array(10).fill('s'), 'D', 'd'], onScreen: true },
    ];
    for (const { name, keys, onScreen } of poses) {
      await both(keys, onScreen);
      const [onPage, onDesktop] = [await canvasPicture(page), await desktop.picture()];
      assert.ok(count(onDesktop, 'black') < onDesktop.classes.length - 1000, `${name}: the desktop shows the walker`);
      const unexplained = unexplainedPixels(onPage, onDesktop);
      const said = `${name}: ${unexplained} pixels differ beyond an edge's pixel`;
      t.diagnostic(said);
      assert.ok(unexplained <= UNEXPLAINED_ALLOWED, said);
    }
  } finally {
    desktop.stop();
    await page.close();
  }
});
