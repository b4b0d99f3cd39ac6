// The page's figures, measured in headless Chromium at 400 x 400 with its
// software WebGL: the median cost of a walker frame (one walk step and the
// program's display) and of an empty frame (clear only: the browser's swap
// is a no-op), each finished with a one-pixel readPixels so that the time
// includes the rasterising; and the bytes the page loads.
// Usage: node tools/web_bench.mjs   (prints "name: value" lines)
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { WEB_DIR, launchBrowser, serve, started } from './chromium.mjs';

const ROUNDS = 40;
const FRAMES = 50;

const files = ['index.html', 'walker.js', 'walker.wasm'].map((name) => readFileSync(join(WEB_DIR, name)));
const server = await serve();
const browser = await launchBrowser();
try {
  const page = await browser.newPage();
  await page.goto(server.url, { waitUntil: 'load' });
  await started(page);
  const figures = await page.evaluate((rounds, frames) => {
    // The program's own callbacks, as GLUT calls them.
    const step = wasmTable.get(GLUT.idleFunc);
    const display = wasmTable.get(GLUT.displayFunc);
    Module.walkerKey('q');  // paused: nothing else draws meanwhile
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
    const walker = [];
    const empty = [];
    for (let round = 0; round < rounds; round++) {  // interleaved: noise hits both alike
      walker.push(time(() => { step(); display(); }));
      empty.push(time(() => gl.clear(gl.COLOR_BUFFER_BIT)));
    }
    const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
    return { frame: median(walker), empty: median(empty), size: [gl.drawingBufferWidth, gl.drawingBufferHeight] };
  }, ROUNDS, FRAMES);
  console.log(`canvas: ${figures.size.join(' x ')}`);
  console.log(`web_frame_us: ${figures.frame.toFixed(1)}`);
  console.log(`web_empty_frame_us: ${figures.empty.toFixed(1)}`);
  console.log(`web_bytes: ${files.reduce((n, f) => n + f.length, 0)}`);
  console.log(`web_gzip_bytes: ${files.reduce((n, f) => n + gzipSync(f, { level: 9 }).length, 0)}`);
} finally {
  await browser.close();
  server.stop();
}
