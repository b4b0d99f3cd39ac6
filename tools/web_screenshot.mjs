// Serves the built page, opens it in headless Chromium, lets the walker walk,
// saves a screenshot of the whole page and ends the server and the browser.
// With --inspector=WIDTHxHEIGHT, the screenshot is of the frame inspector
// instead, in a window that size, as a person sees it: the walker paused,
// built up to the front pair's first thigh, which is chosen.
// Usage: node tools/web_screenshot.mjs [--inspector=WIDTHxHEIGHT] PNG [SECONDS]
import { launchBrowser, serve, started } from './chromium.mjs';

const inspector = /^--inspector=(\d+)x(\d+)$/.exec(process.argv[2] ?? '');
const [path, seconds = '3'] = process.argv.slice(inspector ? 3 : 2);
if (!path || !(Number(seconds) >= 0)) {
  console.error('Usage: node tools/web_screenshot.mjs [--inspector=WIDTHxHEIGHT] PNG [SECONDS]');
  process.exit(2);
}
const CHOSEN = 'front pair, leg 0 (its left): thigh';

// The inspector opened on a frame, the chosen part drawn last and chosen.
async function showInspector(page) {
  await page.click('#inspector-toggle');
  await page.waitForFunction(() => window.walkerInspector.frame() !== null);
  const shape = await page.evaluate((name) => {
    const { names } = window.walkerInspector.frame();
    return Number(Object.keys(names).find((k) => names[k] === name));
  }, CHOSEN);
  await page.$eval(`#inspector-tree [data-shape="${shape}"]`, (line) => line.click());
  await page.$eval('#inspector-order', (slider, n) => {
    slider.value = String(n);
    slider.dispatchEvent(new Event('input'));
  }, shape + 1);
}

const server = await serve();
const browser = await launchBrowser();
try {
  console.log(`No DISPLAY: serving the page at ${server.url} and opening it in headless Chromium`);
  const page = await browser.newPage();
  await page.setViewport(inspector ? { width: Number(inspector[1]), height: Number(inspector[2]) } : { width: 900, height: 800 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(server.url, { waitUntil: 'load' });
  await started(page);
  await new Promise((done) => setTimeout(done, Number(seconds) * 1000));
  if (inspector) {
    await showInspector(page);
    await page.screenshot({ path });
  } else {
    await page.screenshot({ path, fullPage: true });
  }
  if (errors.length > 0) throw new Error(`the page failed: ${errors.join('; ')}`);
} finally {
  await browser.close();
  server.stop();
}
