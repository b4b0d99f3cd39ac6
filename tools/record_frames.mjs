// Records frames of the real page for the inspector's unit tests
// (tests/inspector/): the page in headless Chromium, paused and stepped to a
// step of the cycle, then keys, each frame as the recorder packs it with the
// format it gives. Run it again whenever the program's drawing or the
// record's format changes.
// Usage: node tools/record_frames.mjs   (writes tests/inspector/frames/*.json)
import { writeFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { ROOT, launchBrowser, serve, started } from './chromium.mjs';

const VIEWS = {
  start: { step: 0, keys: [] },
  beam: { step: 0, keys: ['a'] },
  wire: { step: 40, keys: ['1'] },
  turned: { step: 100, keys: [...Array(18).fill('ArrowLeft'), 'ArrowUp', 'z', 'z', ',', '='] },
};

const server = await serve();
const browser = await launchBrowser();
try {
  for (const [name, { step, keys }] of Object.entries(VIEWS)) {
    const page = await browser.newPage();
    await page.goto(server.url, { waitUntil: 'load' });
    await started(page);
    const record = await page.evaluate(async (target, presses) => {
      const frame = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
      Module.walkerKey('p');
      const cycle = Module._walkerCycleSteps();
      for (let i = (target - Module._walkerStepInCycle() + cycle) % cycle; i > 0; i--) Module.walkerKey('s');
      Module._walkerInspect(1);
      await frame();
      for (const key of presses) Module.walkerKey(key);
      await frame();
      const at = Module._walkerRecord() / 8;
      const doubles = Module.HEAPF64.slice(at, at + Module.HEAPF64[at]);
      const bytes = new Uint8Array(doubles.buffer);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
      return { format: Module.UTF8ToString(Module._walkerRecordFormat()), record: btoa(text) };
    }, step, keys);
    writeFileSync(resolve(ROOT, `tests/inspector/frames/${name}.json`), `${JSON.stringify({ step, keys, ...record })}\n`);
    console.log(`${name}: step ${step}, keys ${keys.join(' ') || 'none'}`);
    await page.close();
  }
} finally {
  await browser.close();
  server.stop();
}
