// Pictures of the frame inspector teaching, from the real page in headless
// Chromium in a 1366 x 1000 window, paused at step 40 of the cycle and the
// view turned 45 degrees and brought nearer, the front pair's first thigh
// chosen:
//   walker-inspector-source.png  the source pane, its chain marked;
//   walker-inspector-axes.png    the axes of its hip's turn on the canvas;
//   walker-inspector-stack.png   its chain, what the pops threw away struck
//                                out, above the top of the matrix stack;
//   walker-inspector-whatif.png  the canvas, then its rotate and translate swapped;
// and the hip block chosen,
//   walker-inspector-last.png    "draw it last" beside the program's own frame.
// Pieces of the page are put together in a page of their own.
// Usage: node tools/web_inspector_shots.mjs DIR   (scripts/screenshots writes docs/)
import { writeFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { launchBrowser, serve, started } from './chromium.mjs';

const [dir] = process.argv.slice(2);
if (!dir) {
  console.error('Usage: node tools/web_inspector_shots.mjs DIR');
  process.exit(2);
}
const THIGH = 'front pair, leg 0 (its left): thigh';
const MARGIN = 8;
const STEP = 40;
const KEYS = [...Array(9).fill('ArrowLeft'), '=', '='];

// A PNG of the part of the window around what the selectors find (the first
// count of each), width wide at most, the first of them scrolled to the top.
async function piece(page, selectors, { count = Infinity, width = Infinity } = {}) {
  // Below the slider, which sticks to the window's top.
  await page.$eval(selectors[0], (e) => scrollBy(0, e.getBoundingClientRect().top - 120));
  await new Promise((done) => setTimeout(done, 200));
  const clip = await page.evaluate((list, most, widest, margin) => {
    const boxes = list.flatMap((s) => [...document.querySelectorAll(s)].filter((e) => !e.hidden).slice(0, most))
      .map((e) => e.getBoundingClientRect());
    const [left, top] = [Math.min(...boxes.map((b) => b.left)), Math.min(...boxes.map((b) => b.top))];
    const [right, bottom] = [Math.max(...boxes.map((b) => b.right)), Math.max(...boxes.map((b) => b.bottom))];
    const x = Math.max(0, left - margin);
    const y = Math.max(0, top - margin);
    return {
      x: x + scrollX, y: y + scrollY, width: Math.min(widest, Math.min(right + margin, innerWidth) - x),
      height: Math.min(bottom + margin, innerHeight) - y,
    };
  }, selectors, count, width, MARGIN);
  if (process.env.DEBUG_SHOTS) console.log(clip);
  return page.screenshot({ clip, captureBeyondViewport: false });
}

// Pieces side by side (or one above the other), each under its caption, saved as name.
async function together(browser, name, pieces, direction = 'row') {
  const page = await browser.newPage();
  const cells = pieces.map(([caption, png]) => `<figure style="margin:0"><figcaption>${caption}</figcaption>` +
    `<img src="data:image/png;base64,${Buffer.from(png).toString('base64')}"></figure>`).join('');
  await page.setContent(`<body style="margin:0"><div style="display:inline-flex;flex-direction:${direction};gap:12px;padding:4px;
    align-items:flex-start;background:#fff;font:14px sans-serif">${cells}</div></body>`, { waitUntil: 'load' });
  await page.setViewport({ width: 1600, height: 1000 });
  await save((await page.$('div')).screenshot(), name);
  await page.close();
}

async function save(png, name) {
  writeFileSync(resolve(dir, `walker-inspector-${name}.png`), await png);
  console.log(`walker-inspector-${name}.png`);
}

const shapeNamed = (page, name) => page.evaluate((wanted) => {
  const { names } = window.walkerInspector.frame();
  return Number(Object.keys(names).find((k) => names[k] === wanted));
}, name);
const choose = (page, shape) => page.$eval(`#inspector-tree [data-shape="${shape}"]`, (line) => line.click());

const server = await serve();
const browser = await launchBrowser();
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1366, height: 1000 });
  // Else the canvas's last frame can be gone by the time a part of the
  // window is taken.
  await page.evaluateOnNewDocument(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, attributes) {
      return getContext.call(this, type, { ...attributes, preserveDrawingBuffer: true });
    };
  });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(server.url, { waitUntil: 'load' });
  await started(page);
  // Paused at a step of the cycle where the legs are apart, the same each
  // time, seen from half way round to its side and nearer, where a turn
  // about the hip shows.
  await page.evaluate((step, keys) => {
    Module.walkerKey('p');
    while (Module._walkerStepInCycle() !== step) Module.walkerKey('s');
    for (const key of keys) Module.walkerKey(key);
  }, STEP, KEYS);
  await page.click('#inspector-toggle');
  await page.waitForFunction(() => window.walkerInspector.frame() !== null);
  const thigh = await shapeNamed(page, THIGH);
  await choose(page, thigh);
  await page.waitForFunction(() => document.querySelector('#inspector-source-lines .in-chain'));

  await save(piece(page, ['#inspector-source-heading', '#inspector-source .source']), 'source');
  await together(browser, 'stack', [
    ['The thigh\'s chain, from the turret\'s turn on', await piece(page,
      ['#inspector-chain > li:nth-child(n+6):nth-child(-n+9)'], { width: 800 })],
    ['The matrix stack at the thigh', await piece(page, ['#inspector-stack-heading', '#inspector-stack > li'], { count: 2, width: 800 })],
  ], 'column');

  // Chosen again, the thigh shows no step's axes.
  const afresh = async () => {
    await choose(page, thigh);
    await choose(page, thigh);
  };
  await afresh();
  const before = await piece(page, ['#screen canvas']);
  // Stepped to the hip's turn with next transform, as a learner steps.
  const step = await page.$$eval('#inspector-chain > li:not(.discarded)', (items) => {
    const { calls } = window.walkerInspector.frame();
    return items.findIndex((item) => calls[item.dataset.call]?.name === 'glRotatef' && calls[item.dataset.call].args[1] === 1);
  });
  for (let k = 0; k <= step; k++) await page.click('#inspector-step-next');
  await together(browser, 'axes', [
    [await page.$eval('#inspector-step-text', (t) => t.textContent), await piece(page, ['#screen canvas'])],
  ]);
  // The hip's turn swapped with the translate after it.
  await page.click('#inspector-swap-next');
  await afresh();
  await together(browser, 'whatif', [
    ['The hip\'s turn, then the thigh\'s offset: the program', before],
    ['Swapped, the offset, then the turn: what if', await piece(page, ['#screen canvas'])],
  ]);
  await page.click('#inspector-whatif-reset');

  await choose(page, await shapeNamed(page, 'hip block'));
  await page.click('#inspector-last');
  await save(piece(page, ['#inspector-figures']), 'last');
  if (errors.length > 0) throw new Error(`the page failed: ${errors.join('; ')}`);
} finally {
  await browser.close();
  server.stop();
}
