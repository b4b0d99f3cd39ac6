// The page's figures, measured in headless Chromium at 400 x 400 with its
// software WebGL: the median cost of a walker frame (one walk step, the
// program's display and the readout's update with the page laid out again)
// with the readout and plot shown and hidden, and of an empty frame (clear
// only: the browser's swap is a no-op), each finished with a one-pixel
// readPixels so that the time includes the rasterising; and the bytes the
// page loads.
// Usage: node tools/web_bench.mjs   (prints "name: value" lines)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { WEB_DIR, launchBrowser, serve, started } from './chromium.mjs';

const ROUNDS = 40;
const FRAMES = 50;

const files = ['index.html', 'readout.js', 'buttons.js', 'walker.js', 'walker.wasm'].map((name) => readFileSync(join(WEB_DIR, name)));
const server = await serve();
const browser = await launchBrowser();
try {
  const page = await browser.newPage();
  await page.goto(server.url, { waitUntil: 'load' });
  await started(page);
  // Each measurement is one task of the page, so the page's own walking and
  // drawing cannot run in the middle of it.
  await page.evaluate(() => {
    window.walkStep = wasmTable.get(GLUT.idleFunc);  // the program's idle callback
  });
  const figures = await page.evaluate((rounds, frames) => {
    const step = window.walkStep;
    const display = wasmTable.get(GLUT.displayFunc);
    const toggle = document.getElementById('readout-toggle');
    const gl = GLctx;
    const pixel = new Uint8Array(4);
    const finish = () => gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    const time = (frame) => {
      const start = performance.now();
      for (let i = 0; i < frames; i++) {
        frame();
        finish();
      }
      return ((performance.now() - start) * 1000) / frames;
    };
    const walkerFrame = () => {
      step();
      display();
      Module.walkerReadoutFrame();
      void document.body.offsetHeight;  // lays the page out again, as a frame does
    };
    const shown = [];
    const hidden = [];
    const empty = [];
    for (let round = 0; round < rounds; round++) {  // interleaved: noise hits all alike
      shown.push(time(walkerFrame));
      toggle.click();
      hidden.push(time(walkerFrame));
      toggle.click();
      empty.push(time(() => gl.clear(gl.COLOR_BUFFER_BIT)));
    }
    const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
    return {
      shown: median(shown), hidden: median(hidden), empty: median(empty),
      size: [gl.drawingBufferWidth, gl.drawingBufferHeight],
    };
  }, ROUNDS, FRAMES);
  console.log(`canvas: ${figures.size.join(' x ')}`);
  console.log(`web_frame_us: ${figures.shown.toFixed(1)}`);
  console.log(`web_frame_us_readout_hidden: ${figures.hidden.toFixed(1)}`);
  console.log(`web_empty_frame_us: ${figures.empty.toFixed(1)}`);
  console.log(`web_bytes: ${files.reduce((n, f) => n + f.length, 0)}`);
  console.log(`web_gzip_bytes: ${files.reduce((n, f) => n + gzipSync(f, { level: 9 }).length, 0)}`);
} finally {
  await browser.close();
  server.stop();
}
