// Debian's Chromium, headless with software WebGL, and the page served by
// Python's static server: what the page's screenshot, benchmark and tests use.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

export const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '..');
export const WEB_DIR = process.env.WALKER_WEB_DIR ?? resolve(ROOT, 'build/web');

// The page's files, service worker included, as the build lists them
// (web/CMakeLists.txt), relative to WEB_DIR.
export const pageFiles = () => readFileSync(resolve(WEB_DIR, 'web/page-files.txt'), 'utf8').split('\n').filter(Boolean);

// As root Chromium needs --no-sandbox; WebGL needs SwiftShader when headless;
// this machine reaches no network, so nothing may phone home.
const ARGS = [
  '--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
];

export function launchBrowser() {
  return puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', headless: true, args: ARGS });
}

// The first line of a stream that matches, or an error after a while.
function lineMatching(stream, pattern, what) {
  return new Promise((done, fail) => {
    const timer = setTimeout(() => fail(new Error(`${what} did not start`)), 15000);
    createInterface({ input: stream }).on('line', (line) => {
      const match = pattern.exec(line);
      if (match) {
        clearTimeout(timer);
        done(match);
      }
    });
  });
}

// python3 -m http.server on a free port of the loopback interface.
export async function serve(dir = WEB_DIR) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  const [, port] = await lineMatching(server.stdout, /port (\d+)/, 'the static server').catch((error) => {
    server.kill();  // else it keeps the process that failed from ending
    throw error;
  });
  return { url: `http://127.0.0.1:${port}/`, stop: () => server.kill() };
}

// Resolves once the program has printed its four information lines and the
// page's own scripts, which load after the first frame, have run (screen.js,
// the last of them, has made walkerScreen): in the page, or in its frame of
// that id.
export function started(page, frame = null) {
  const where = frame ? `document.getElementById('${frame}').contentWindow` : 'window';
  return page.waitForFunction(`((w) => w.document.getElementById('info')?.textContent.split('\\n').length === 4 &&
    w.walkerScreen !== undefined)(${where})`);
}
