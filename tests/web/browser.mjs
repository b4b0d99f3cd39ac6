// What the browser tests share: the page in one browser engine
// (engines.mjs; WALKER_BROWSER names it, chromium by default, and npm test
// runs every test file once per engine: tests/web/run.mjs) driven by real key
// events, the canvas's pixels read back by colour, and the real desktop
// program under Xvfb for comparison.
//   servedPage()           the served page and a browser for a file's tests;
//                          a test fails on any Content-Security-Policy
//                          violation in any page it opened
//   addScript(page, source, frame)  a script run in the page (or its frame)
//   openPage(browser, url, viewport, beforeLoad)  a page that has started
//   press, pressAndDraw, nextFrame      keys, and frames drawn
//   canvasPicture, samePixels, count    the canvas's pixels by colour
//   startDesktop, stepToPicture, unexplainedPixels  the desktop's picture
//   servedCopy(without)    a copy of the page, served on a new origin
//   narrowFrame(page, width, height)  the page again, in a frame that narrow
//   ENGINE                 the engine's name, for a test's skip message
// A page is puppeteer's Page; a test that runs in every engine uses only the
// part of it that engines.mjs names for WebKit.
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { createInterface } from 'node:readline';
import { join, resolve } from 'node:path';
import { after, afterEach, before } from 'node:test';
import { ROOT, WEB_DIR, pageFiles, serve, started } from '../../tools/chromium.mjs';
import { launch } from './engines.mjs';

export const ENGINE = process.env.WALKER_BROWSER ?? 'chromium';

const DESKTOP_DRIVER = process.env.WALKER_DESKTOP_DRIVER ?? resolve(ROOT, 'build/test/tests/walker_desktop_driver');

// Steps in one whole gait cycle, as the program counts them.
export const cycleSteps = (page) => page.evaluate(() => Module._walkerCycleSteps());

const VIOLATION = 'Content-Security-Policy violation:';

// Runs in each document before its own scripts.
function reportViolations(mark) {
  addEventListener('securitypolicyviolation', (event) => {
    console.error(`${mark} ${event.effectiveDirective} blocked ${event.blockedURI || 'inline code'} ` +
      `at ${event.sourceFile}:${event.lineNumber}`);
  });
}

// Every page the browser opens reports the policy's violations, in every
// frame, to the list.
function watchPolicy(browser, violations) {
  const newPage = browser.newPage.bind(browser);
  browser.newPage = async (...args) => {
    const page = await newPage(...args);
    page.on('console', (message) => {
      if (message.type() === 'error' && message.text().startsWith(VIOLATION)) violations.push(message.text());
    });
    await page.evaluateOnNewDocument(reportViolations, VIOLATION);
    return page;
  };
  return browser;
}

// The served page and one browser for a test file's tests: started before
// them and ended after them. The tests read shared.server and shared.browser.
export function servedPage() {
  const shared = {};
  const violations = [];
  before(async () => {
    shared.server = await serve();
    shared.browser = watchPolicy(await launch(ENGINE), violations);
  });
  afterEach(() => {
    const seen = violations.splice(0);
    if (seen.length > 0) throw new Error(`the page's Content-Security-Policy was violated:\n${seen.join('\n')}`);
  });
  after(async () => {
    await shared.browser?.close();
    shared.server?.stop();
  });
  return shared;
}

// A script run in the page, or in its frame of that id, as the page's policy
// allows: put in by the driver, which the policy leaves alone (for WebKit,
// served from the page's origin by its proxy).
export async function addScript(page, content, frame = null) {
  if (ENGINE === 'webkit') return page.addScriptTag({ content, frame });
  const where = frame ? await (await page.$(`#${frame}`)).contentFrame() : page;
  return where.evaluate(`${content}\n;0`);
}

// Opens the page with the canvas kept readable after each frame, and waits
// for the program's four information lines. Errors and requests are recorded.
// A viewport (puppeteer's) is set, and a function run in each new document,
// before the page loads.
export async function openPage(browser, url, viewport = null, beforeLoad = null) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  const seen = { errors: [], requests: [] };
  page.on('pageerror', (error) => seen.errors.push(`page error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') seen.errors.push(`console error: ${message.text()}`);
  });
  page.on('request', (request) => seen.requests.push(request.url()));
  await page.evaluateOnNewDocument(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, attributes) {
      return getContext.call(this, type, { ...attributes, preserveDrawingBuffer: true });
    };
  });
  if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
  await page.goto(url, { waitUntil: 'load' });
  await started(page);
  await page.click('h1');  // the page has the keyboard's focus, as a visitor's click gives it
  return { page, seen };
}

const SHIFTED = {
  '!': 'Digit1', '@': 'Digit2', '#': 'Digit3', '%': 'Digit5', '(': 'Digit9', '?': 'Slash', '~': 'Backquote',
  '{': 'BracketLeft', '"': 'Quote', _: 'Minus', '+': 'Equal', '*': 'Digit8',
};
// puppeteer's names for these characters are the keypad's keys.
const MAIN_ROW = { '-': 'Minus', '/': 'Slash' };

// One key as a keyboard's main keys send it, named as the character typed
// ('-' is the main row's minus, Shift is held for capitals and shifted
// symbols), or by puppeteer's name for any other key ('NumpadSubtract',
// 'ArrowUp', 'Escape').
export async function press(page, key) {
  const code = SHIFTED[key] ?? (/^[A-Z]$/.test(key) ? `Key${key}` : null);
  if (code === null) {
    await page.keyboard.press(MAIN_ROW[key] ?? key);
  } else {
    await page.keyboard.down('Shift');
    await page.keyboard.press(code);
    await page.keyboard.up('Shift');
  }
}

// Lets one animation frame pass, so that a redisplay a key asked for is drawn.
export function nextFrame(page) {
  return page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
}

export async function pressAndDraw(page, keys) {
  for (const key of keys) await press(page, key);
  await nextFrame(page);
}

export const NARROW_FRAME = 'narrow-screen';

// The page again in a frame of width x height CSS pixels on the open page
// (paused first, so that only the frame's walker walks): a screen narrower
// than a browser's window may be (WebKit's is at least 447 pixels wide). Gives
// a function that runs fn(frame's window, ...args) in the page (JSON in and out).
export async function narrowFrame(page, width, height) {
  await pressAndDraw(page, ['p']);
  await page.evaluate((id, w, h) => new Promise((done) => {
    const frame = Object.assign(document.createElement('iframe'), { id, src: location.href, onload: done });
    frame.style.cssText = `width: ${w}px; height: ${h}px; border: 0; display: block;`;
    document.body.prepend(frame);
  }), NARROW_FRAME, width, height);
  await started(page, NARROW_FRAME);
  return (fn, ...args) => page.evaluate(`(${fn})(document.getElementById('${NARROW_FRAME}').contentWindow, ...${JSON.stringify(args)})`);
}

export const COLOURS = ['black', 'green', 'blue', 'cyan', 'magenta', 'white'];
export const PALETTE = [[0, 0, 0], [0, 255, 0], [0, 0, 255], [0, 255, 255], [255, 0, 255], [255, 255, 255]];

// Each pixel of top-down RGB(A) rows as the index of its nearest colour
// (the classes of pictures: COLOURS, in PALETTE's components).
function classify(bytes, width, height, channels) {
  const classes = new Uint8Array(width * height);
  for (let i = 0; i < classes.length; i++) {
    let best = 0;
    let bestDistance = Infinity;
    for (let c = 0; c < PALETTE.length; c++) {
      const d = (bytes[i * channels] - PALETTE[c][0]) ** 2 + (bytes[i * channels + 1] - PALETTE[c][1]) ** 2 +
        (bytes[i * channels + 2] - PALETTE[c][2]) ** 2;
      if (d < bestDistance) [best, bestDistance] = [c, d];
    }
    classes[i] = best;
  }
  return { width, height, classes };
}

// The canvas's pixels, top row first; scaled down by a whole factor, each
// block as one of its pixels (an average would make colours of its own at edges).
export async function canvasPicture(page, scale = 1) {
  const { width, height, data } = await page.evaluate((n) => {
    const gl = document.getElementById('canvas').getContext('webgl');  // the walker's own
    const [bw, bh] = [gl.drawingBufferWidth, gl.drawingBufferHeight];
    const rgba = new Uint32Array(bw * bh);
    gl.readPixels(0, 0, bw, bh, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(rgba.buffer));
    const [w, h] = [Math.floor(bw / n), Math.floor(bh / n)];
    const pixels = new Uint32Array(w * h);  // GL's rows run bottom-up
    for (let y = 0; y < h; y++) {
      for (let x = 0; x < w; x++) pixels[y * w + x] = rgba[(bh - 1 - y * n) * bw + x * n];
    }
    const rows = new Uint8Array(pixels.buffer);
    let text = '';
    for (let i = 0; i < rows.length; i += 0x8000) text += String.fromCharCode(...rows.subarray(i, i + 0x8000));
    return { width: w, height: h, data: btoa(text) };
  }, scale);
  return classify(Buffer.from(data, 'base64'), width, height, 4);
}

export function count(picture, colour) {
  const c = COLOURS.indexOf(colour);
  return picture.classes.reduce((n, k) => n + (k === c ? 1 : 0), 0);
}

export function samePixels(a, b) {
  return a.width === b.width && a.height === b.height && Buffer.compare(a.classes, b.classes) === 0;
}

// Single-steps the paused page through one whole cycle to find the step whose
// picture (the canvas scaled down by scale) is nearest the target's, and
// steps it there. Nearest as the comparisons count it: by plain differing
// pixels, a halved picture's edges outweigh a step, and at two steps of the
// cycle the next step won (286 pixels off).
export async function stepToPicture(page, target, scale = 1) {
  const unexplained = [];
  for (let i = 0, cycle = await cycleSteps(page); i < cycle; i++) {
    unexplained.push(unexplainedPixels(await canvasPicture(page, scale), target));
    await pressAndDraw(page, ['s']);
  }
  await pressAndDraw(page, Array(unexplained.indexOf(Math.min(...unexplained))).fill('s'));
}

function nearby(picture, x, y, colour) {
  for (let dy = -1; dy <= 1; dy++) {
    for (let dx = -1; dx <= 1; dx++) {
      const nx = x + dx;
      const ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < picture.width && ny < picture.height &&
          picture.classes[ny * picture.width + nx] === colour) return true;
    }
  }
  return false;
}

// Rasterisers differ at edges: llvmpipe and SwiftShader may put an edge one
// pixel apart. A pixel counts against the page only when its colour differs
// and one pixel's shift does not explain it. A handful of line pixels in
// wireframe are allowed for; a part a pixel or two out of place, a wrong key
// or a wrong shape gives hundreds.
export const UNEXPLAINED_ALLOWED = 12;

// Pixels whose colours differ and that an edge moved by one pixel does not
// explain: each picture's colour there must show within one pixel in the other.
export function unexplainedPixels(a, b) {
  let n = 0;
  for (let y = 0; y < a.height; y++) {
    for (let x = 0; x < a.width; x++) {
      const i = y * a.width + x;
      if (a.classes[i] !== b.classes[i] && !(nearby(b, x, y, a.classes[i]) && nearby(a, x, y, b.classes[i]))) n++;
    }
  }
  return n;
}

// A copy of the page's files, leaving out those named, served on an origin
// of its own (so that no service worker of another test's serves it).
export async function servedCopy(without = []) {
  const dir = mkdtempSync(join(tmpdir(), 'walker-page-'));
  for (const file of pageFiles().filter((name) => !without.includes(name))) cpSync(join(WEB_DIR, file), join(dir, file));
  return { dir, site: await serve(dir) };
}

function readPpm(path) {
  const bytes = readFileSync(path);
  const header = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(bytes.subarray(0, 32).toString('latin1'));
  return classify(bytes.subarray(header[0].length), Number(header[1]), Number(header[2]), 3);
}

// The real desktop program under its own Xvfb, paused, driven by the same
// keys (tests/window/desktop_driver.cpp); its pictures go to workDir.
export async function startDesktop(workDir = mkdtempSync(join(tmpdir(), 'walker-desktop-'))) {
  const driver = spawn(DESKTOP_DRIVER, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const lines = createInterface({ input: driver.stdout })[Symbol.asyncIterator]();
  const answer = async () => {
    const { value, done } = await lines.next();
    if (done || value.startsWith('error')) throw new Error(`desktop driver: ${done ? 'ended' : value}`);
    return value;
  };
  if ((await answer()) !== 'ready') throw new Error('desktop driver did not start');
  let shots = 0;
  const send = async (command) => {
    driver.stdin.write(`${command}\n`);
    await answer();
  };
  return {
    async press(keys) {
      for (const key of keys) await send(key.startsWith('Arrow') ? `arrow ${key.slice(5)}` : `key ${key}`);
    },
    async picture() {
      const path = resolve(workDir, `desktop-${shots++}.ppm`);
      await send(`shot ${path}`);
      return readPpm(path);
    },
    stop: () => driver.kill(),
  };
}
