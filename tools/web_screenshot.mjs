// Serves the built page, opens it in headless Chromium, lets the walker walk,
// saves a screenshot of the whole page and ends the server and the browser.
// Usage: node tools/web_screenshot.mjs PNG [SECONDS]
import { launchBrowser, serve, started } from './chromium.mjs';

const [path, seconds = '3'] = process.argv.slice(2);
if (!path || !(Number(seconds) >= 0)) {
  console.error('Usage: node tools/web_screenshot.mjs PNG [SECONDS]');
  process.exit(2);
}
const server = await serve();
const browser = await launchBrowser();
try {
  console.log(`No DISPLAY: serving the page at ${server.url} and opening it in headless Chromium`);
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 800 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(server.url, { waitUntil: 'load' });
  await started(page);
  await new Promise((done) => setTimeout(done, Number(seconds) * 1000));
  await page.screenshot({ path, fullPage: true });
  if (errors.length > 0) throw new Error(`the page failed: ${errors.join('; ')}`);
} finally {
  await browser.close();
  server.stop();
}
