// The page's figures, measured in Debian's headless Chromium with its software
// WebGL, each against a reference taken in the same run so that the machine's
// noise hits both alike:
// - the first frame: navigation to the first walker frame, fresh loads of the
//   page interleaved with fresh loads of a bare WebGL page (bench/web_bare.html),
//   each once its new browser context has settled;
// - the main thread's busy share (Chrome's task-time counter) paused, walking,
//   and walking with the readout hidden;
// - the cost of a walker frame (one step, the program's display and the
//   readout's update, with the page laid out again) against an empty frame,
//   and the same at two device pixels to a CSS pixel (an 800 x 800 buffer);
//   the walker's frame alone and the readout's refresh alone; the walker's
//   frame with the frame inspector closed after use against the same page
//   before, recording, and with its panel open; a what-if redraw of the
//   recorded frame against a plain replay of it;
// - Lighthouse's four category scores for the page and the bare page, with its
//   mobile and its desktop settings;
// - the bytes of the page's files (web/CMakeLists.txt lists them), its
//   manifest, icons and service worker included;
// - a link to a view at the cycle's last step, opened: navigation to the
//   first frame drawn at that step, fresh loads as for the first frame.
// Usage: node tools/web_bench.mjs   (prints "name: value" lines)
// WALKER_BENCH_LIGHTHOUSE=0 leaves Lighthouse out; WALKER_BENCH_ONLY=link
// measures the link alone. Lighthouse drives the same
// Chromium, which Puppeteer starts in a process group of its own and ends,
// group and all, when this tool ends or is stopped.
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';
import { ROOT, WEB_DIR, launchBrowser, pageFiles, serve, started } from './chromium.mjs';

const LOADS = 11;
// A new browser context starts the headless browser's own user interface in a
// renderer of its own: one to two seconds of CPU on this machine's two cores.
// Each load waits this long after its context is opened, so that it does not
// share the cores with that start-up.
const SETTLE_MS = 2000;
const BUSY_SECONDS = 4;
const ROUNDS = 30;
const FRAMES = 40;
const CLOSED_ROUNDS = 15;
const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Milliseconds from navigation to the first animation frame after the first
// call of one of the given WebGL functions: the page's first drawn frame is
// on its way to the screen then. The walker's first frame is its first draw;
// the bare page's, its one clear. A fresh browser context each time: nothing
// cached.
async function firstFrame(browser, url, calls) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await sleep(SETTLE_MS);
    await page.evaluateOnNewDocument((names) => {
      for (const name of names) {
        const call = WebGLRenderingContext.prototype[name];
        WebGLRenderingContext.prototype[name] = function (...args) {
          if (window.firstCall === undefined) {
            window.firstCall = performance.now();
            requestAnimationFrame(() => {
              window.firstFrame = performance.now();
            });
          }
          return call.apply(this, args);
        };
      }
    }, calls);
    await page.goto(url);
    await page.waitForFunction(() => window.firstFrame !== undefined, { timeout: 30000 });
    return await page.evaluate(() => window.firstFrame);
  } finally {
    await context.close();
  }
}

// Milliseconds from navigation to the animation frame after the first draw
// at the link's step, fresh as firstFrame's loads.
async function linkFrame(browser, url, step) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await sleep(SETTLE_MS);
    await page.evaluateOnNewDocument((at) => {
      const draw = WebGLRenderingContext.prototype.drawArrays;
      WebGLRenderingContext.prototype.drawArrays = function (...args) {
        if (window.linkFrame === undefined && window.Module?._walkerStepInCycle?.() === at) {
          window.linkFrame = null;
          requestAnimationFrame(() => {
            window.linkFrame = performance.now();
          });
        }
        return draw.apply(this, args);
      };
    }, step);
    await page.goto(url);
    await page.waitForFunction(() => typeof window.linkFrame === 'number', { timeout: 30000 });
    return await page.evaluate(() => window.linkFrame);
  } finally {
    await context.close();
  }
}

// Presses one of the page's buttons as its own click() does. A click through
// Puppeteer first scrolls the button into view, and the readout's toggle lies
// below an 800 x 600 window: scrolled to it, the canvas left the screen, its
// frames cost the browser next to nothing, and walking with the readout
// hidden looked far cheaper than it is. The page stays where it is.
const press = (page, selector) => page.$eval(selector, (button) => button.click());

// The share of wall time the page's main thread spent in tasks over a while.
async function busy(page, seconds) {
  const client = await page.createCDPSession();
  await client.send('Performance.enable');
  const taskTime = async () => (await client.send('Performance.getMetrics')).metrics
    .find((m) => m.name === 'TaskDuration').value;
  const [start, startedAt] = [await taskTime(), performance.now()];
  await sleep(seconds * 1000);
  const [end, endedAt] = [await taskTime(), performance.now()];
  await client.detach();
  return (100 * (end - start) * 1000) / (endedAt - startedAt);
}

// The frames the benchmark times, installed in the page: each ends in a
// one-pixel readPixels where it draws, so that its time includes the
// rasterising, and each batch of them is one task of the page, so that the
// page's own walking and drawing cannot run in the middle of it.
// - shown: a walker frame with the readout refreshed and the page laid out
//   again, as a walking frame shows it (the readout's refresh rate aside);
// - walker: the walker's frame alone, one step and the program's display;
// - step and refresh: one step alone, and one step with the readout's
//   refresh and the layout after it, the refresh's cost being the difference;
// - empty: a clear-only frame;
// - inspected: a walker frame with the frame inspector's panel open, which
//   records it, then reads it and brings its tree up to date, with the page
//   laid out again;
// - choose: a shape chosen in the inspector's list (two shapes in turn): the
//   frame drawn again, the chosen shape's chain and covering shapes shown,
//   the page laid out again;
// - replay: the recorded frame drawn again as it is, the page laid out again;
// - whatif: the same frame drawn again with what-if edits given as the panel
//   takes them (the front pair's first thigh's rotate and translate swapped,
//   and its hip's angle changed in every other), the page laid out again.
function installFrames(page) {
  return page.evaluate(() => {
    const gl = document.getElementById('canvas').getContext('webgl');
    const pixel = new Uint8Array(4);
    const finish = () => gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    const walker = () => {
      Module.walkerKey('s');
      Module._walkerDisplay();
    };
    const refresh = () => {
      window.walkerReadout.show();
      void document.body.offsetHeight;  // lays the page out again, as a frame does
    };
    window.benchFrames = {
      shown: () => { walker(); refresh(); finish(); },
      walker: () => { walker(); finish(); },
      step: () => Module.walkerKey('s'),
      refresh: () => { Module.walkerKey('s'); refresh(); },
      empty: () => { gl.clear(gl.COLOR_BUFFER_BIT); finish(); },
      // The panel reads the recorded frame once the display has returned.
      inspected: async () => {
        walker();
        finish();
        await Promise.resolve();
        void document.body.offsetHeight;
      },
      choose: (() => {
        let turn = 0;
        return () => {
          document.querySelector(`#inspector-tree [data-shape="${turn++ % 2 === 0 ? 7 : 13}"]`).click();
          void document.body.offsetHeight;
          finish();
        };
      })(),
      replay: () => {
        Module._walkerShowRecordedFrame(-1, -1);
        void document.body.offsetHeight;
        finish();
      },
      whatif: (() => {
        let turn = 0;
        let swap = null;
        return () => {
          if (!swap) {
            const f = window.walkerInspector.frame();
            const thigh = f.calls.find((c) => c.shape >= 0 && f.names[c.shape] === 'front pair, leg 0 (its left): thigh');
            const rotate = f.calls.slice(0, thigh.index).findLast((c) => c.name === 'glRotatef' && c.args[1] === 1);
            // Its neighbour in the chain: the hip ball's level comes between them.
            const move = f.calls.slice(rotate.index + 1, thigh.index).find((c) => c.name === 'glTranslatef' && c.depth === rotate.depth);
            swap = { swap: [rotate.index, move.index] };
          }
          const angle = { call: swap.swap[0], argument: 0, value: 40 };
          window.walkerInspector.setEdits(turn++ % 2 === 0 ? [swap] : [angle, swap]);
          void document.body.offsetHeight;
          finish();
        };
      })(),
    };
    Module.walkerKey('p');
  });
}

// Microseconds per frame of one kind, over FRAMES of them.
const timeFrames = (page, kind) => page.evaluate(async (name, frames) => {
  const frame = window.benchFrames[name];
  const start = performance.now();
  for (let i = 0; i < frames; i++) await frame();
  return ((performance.now() - start) * 1000) / frames;
}, kind, FRAMES);

// ROUNDS of batches, each measurement's batches interleaved with the others';
// each is set up by its own step before its batch (a button pressed, the
// recorder switched on).
async function frameCosts(measurements) {
  const times = measurements.map(() => []);
  for (let round = 0; round < ROUNDS; round++) {
    for (const [i, { page, kind, before }] of measurements.entries()) {
      if (before) await before();
      times[i].push(await timeFrames(page, kind));
    }
  }
  return times.map(median);
}

async function scores(port, url, config) {
  const { lhr } = await lighthouse(url, { port, output: 'json', logLevel: 'error', onlyCategories: CATEGORIES }, config);
  return CATEGORIES.map((name) => lhr.categories[name].score);
}

const report = (name, value) => console.log(`${name}: ${value}`);

const server = await serve();
const bare = await serve(resolve(ROOT, 'bench'));
const pageUrl = server.url;
const bareUrl = `${bare.url}web_bare.html`;
const browser = await launchBrowser();
figures: try {
  const LINK_STEP = 159;
  // Against the page's own first frame, at the cycle's first step, timed alike.
  const [linked, plain] = [[], []];
  for (let i = 0; i < LOADS; i++) {
    linked.push(await linkFrame(browser, `${pageUrl}#step=${LINK_STEP}&yaw=-5&turret=-60&end`, LINK_STEP));
    plain.push(await linkFrame(browser, pageUrl, 0));
  }
  report('web_link_first_picture_ms', median(linked).toFixed(0));
  report('web_link_plain_first_picture_ms', median(plain).toFixed(0));
  if (process.env.WALKER_BENCH_ONLY === 'link') break figures;

  const DRAWS = ['drawArrays', 'drawElements'];
  await firstFrame(browser, bareUrl, ['clear']);  // starts the GPU process, for neither page to pay
  const [own, reference] = [[], []];
  for (let i = 0; i < LOADS; i++) {
    own.push(await firstFrame(browser, pageUrl, DRAWS));
    reference.push(await firstFrame(browser, bareUrl, ['clear']));
  }
  report('web_first_frame_ms', median(own).toFixed(0));
  report('web_bare_first_frame_ms', median(reference).toFixed(0));
  report('web_first_frame_ratio', (median(own) / median(reference)).toFixed(2));

  const page = await browser.newPage();
  await page.goto(pageUrl, { waitUntil: 'load' });
  await started(page);
  await press(page, 'button[data-key=p]');
  await sleep(500);
  report('web_busy_paused_pct', (await busy(page, BUSY_SECONDS)).toFixed(2));
  await press(page, 'button[data-key=S]');
  const [walking, walkingHidden] = [[], []];
  for (let i = 0; i < 4; i++) {  // interleaved, each over BUSY_SECONDS in all
    walking.push(await busy(page, BUSY_SECONDS / 4));
    await press(page, '#readout-toggle');
    walkingHidden.push(await busy(page, BUSY_SECONDS / 4));
    await press(page, '#readout-toggle');
  }
  if (await page.evaluate(() => window.scrollY) !== 0) throw new Error('the page scrolled while its busy share was measured');
  const sum = (values) => values.reduce((a, b) => a + b, 0);
  report('web_busy_walking_pct', (sum(walking) / walking.length).toFixed(2));
  report('web_busy_walking_hidden_pct', (sum(walkingHidden) / walkingHidden.length).toFixed(2));
  report('web_busy_readout_ratio', (sum(walking) / sum(walkingHidden)).toFixed(2));

  // The frame inspector closed after use, against the same page before: in
  // each round the page is loaded afresh, a batch of walker frames timed,
  // the inspector opened and closed (or, every other round, nothing done, for
  // the ruler's own spread), and after a second's rest for the browser's
  // collector a batch timed again. The ratios' medians over the rounds.
  const other = await browser.newPage();
  const [afterUse, afterNothing] = [[], []];
  for (let round = 0; round < 2 * CLOSED_ROUNDS; round++) {
    await other.goto(pageUrl, { waitUntil: 'load' });
    await started(other);
    await installFrames(other);
    await timeFrames(other, 'walker');  // its code warmed up
    const before = await timeFrames(other, 'walker');
    if (round % 2 === 0) {
      await press(other, '#inspector-toggle');
      await other.waitForFunction(() => window.walkerInspector.frame() !== null);
      await press(other, '#inspector-close');
    }
    await sleep(1000);
    (round % 2 === 0 ? afterUse : afterNothing).push(await timeFrames(other, 'walker') / before);
  }
  // From here on the second page's inspector has been used and closed.
  await press(other, '#inspector-toggle');
  await other.waitForFunction(() => window.walkerInspector.frame() !== null);
  await press(other, '#inspector-close');
  await installFrames(page);
  const recorder = (on) => () => other.evaluate((state) => Module._walkerInspect(state), on);
  const readoutShown = (shown) => () => page.evaluate((want) => {
    const toggle = document.getElementById('readout-toggle');
    if ((toggle.getAttribute('aria-expanded') === 'true') !== want) toggle.click();
  }, shown);
  const [shown, hidden, walker, step, refresh, empty, closed, recorded] = await frameCosts([
    { page, kind: 'shown', before: readoutShown(true) },
    { page, kind: 'shown', before: readoutShown(false) },
    { page, kind: 'walker', before: readoutShown(true) },
    { page, kind: 'step' },
    { page, kind: 'refresh' },
    { page, kind: 'empty' },
    { page: other, kind: 'walker', before: recorder(0) },
    { page: other, kind: 'walker', before: recorder(1) },
  ]);
  await recorder(0)();
  report('web_frame_us', shown.toFixed(1));
  report('web_frame_us_readout_hidden', hidden.toFixed(1));
  report('web_frame_us_walker', walker.toFixed(1));
  report('web_readout_refresh_us', (refresh - step).toFixed(1));
  report('web_empty_frame_us', empty.toFixed(1));
  report('web_frame_us_inspector_closed', closed.toFixed(1));
  report('web_inspector_closed_ratio', median(afterUse).toFixed(3));
  report('web_inspector_closed_ruler', median(afterNothing).toFixed(3));
  report('web_record_frame_us', recorded.toFixed(1));
  report('web_record_ratio', (recorded / closed).toFixed(2));
  await press(other, '#inspector-toggle');
  await other.waitForFunction(() => window.walkerInspector.frame() !== null);
  const [panel, choose] = await frameCosts([{ page: other, kind: 'inspected' }, { page: other, kind: 'choose' }]);
  report('web_inspector_frame_us', panel.toFixed(1));
  report('web_inspector_frame_ratio', (panel / closed).toFixed(2));
  report('web_inspector_choose_us', choose.toFixed(1));
  // Apart from the others: while edits are given, each new frame is drawn
  // again with them.
  const [replay, whatIf] = await frameCosts([{ page: other, kind: 'replay' }, { page: other, kind: 'whatif' }]);
  await other.evaluate(() => window.walkerInspector.setEdits([]));
  report('web_replay_us', replay.toFixed(1));
  report('web_whatif_us', whatIf.toFixed(1));
  report('web_whatif_ratio', (whatIf / replay).toFixed(2));
  await other.close();
  await page.close();

  const sharp = await browser.newPage();
  await sharp.setViewport({ width: 800, height: 600, deviceScaleFactor: 2 });
  await sharp.goto(pageUrl, { waitUntil: 'load' });
  await started(sharp);
  await installFrames(sharp);
  report('web_frame_us_dpr2', (await frameCosts([{ page: sharp, kind: 'shown' }]))[0].toFixed(1));
  await sharp.close();

  if (process.env.WALKER_BENCH_LIGHTHOUSE !== '0') {
    const port = Number(new URL(browser.wsEndpoint()).port);
    for (const [setting, config] of [['mobile', undefined], ['desktop', desktopConfig]]) {
      for (const [name, url] of [['web', pageUrl], ['web_bare', bareUrl]]) {
        const [performance, accessibility, practices, seo] = await scores(port, url, config);
        report(`${name}_lighthouse_${setting}_performance`, performance.toFixed(2));
        report(`${name}_lighthouse_${setting}_accessibility`, accessibility.toFixed(2));
        report(`${name}_lighthouse_${setting}_best_practices`, practices.toFixed(2));
        report(`${name}_lighthouse_${setting}_seo`, seo.toFixed(2));
      }
    }
  }

  const files = pageFiles().map((name) => readFileSync(join(WEB_DIR, name)));
  report('web_bytes', files.reduce((n, f) => n + f.length, 0));
  report('web_gzip_bytes', files.reduce((n, f) => n + gzipSync(f, { level: 9 }).length, 0));
} finally {
  await browser.close();
  server.stop();
  bare.stop();
}
