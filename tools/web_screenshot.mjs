// Opens the built page in headless Chromium, lets the walker walk, and saves
// a screenshot of the whole page. Usage: node tools/web_screenshot.mjs URL PNG [SECONDS]
import { launchBrowser, started } from './chromium.mjs';

const [url, path, seconds = '3'] = process.argv.slice(2);
const browser = await launchBrowser();
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 800 });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(url, { waitUntil: 'load' });
  await started(page);
  await new Promise((done) => setTimeout(done, Number(seconds) * 1000));
  await page.screenshot({ path, fullPage: true });
  if (errors.length > 0) throw new Error(`the page failed: ${errors.join('; ')}`);
} finally {
  await browser.close();
}
