// The three browser engines the page is tested in, each started from Debian's
// own browser, nothing downloaded:
// - chromium: Chromium, headless, through puppeteer (tools/chromium.mjs);
// - firefox: Firefox ESR through puppeteer's WebDriver BiDi, on an Xvfb of its
//   own: headless Firefox has no WebGL here, on a display with
//   webgl.force-enabled it has WebGL on llvmpipe;
// - webkit: WebKitGTK's MiniBrowser through WebKitWebDriver (W3C WebDriver),
//   on an Xvfb of its own. WebDriver has neither preload scripts nor page
//   events, so each page's MiniBrowser uses a proxy of the page's own, which
//   puts the page's preload scripts (and a script that reports page errors
//   and console errors to it) at the top of each HTML document it passes, sees
//   every request, and can be taken offline. What it puts in a page it serves
//   from the page's own origin, so that the page's Content-Security-Policy
//   lets it run as it lets the page's own files.
// launch(name) gives a browser with puppeteer's newPage() and close(); a page
// has puppeteer's Page methods, or for WebKit these of them: goto, reload,
// title, close, evaluate, $eval, $$eval, $ (for screenshot), waitForFunction,
// addScriptTag, evaluateOnNewDocument, setViewport, setOfflineMode, click,
// keyboard and on('request' | 'pageerror' | 'console'). What WebKit cannot
// be given from automation: a window under 447 CSS pixels wide (setViewport
// throws), and a device pixel ratio changed once the page has opened (the
// ratio is GDK_SCALE's, fixed when its MiniBrowser starts).
import { spawn } from 'node:child_process';
import { EventEmitter } from 'node:events';
import { existsSync, readdirSync } from 'node:fs';
import http from 'node:http';
import { createServer } from 'node:net';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
// puppeteer's own keyboard for WebDriver BiDi, whose key actions are
// WebDriver's: WebKit gets the very keys that Firefox gets.
import { BidiKeyboard } from 'puppeteer-core/internal/bidi/Input.js';
import { launchBrowser as launchChromium } from '../../tools/chromium.mjs';

// Each engine as docs/web.md names it (run.mjs checks that they agree).
export const ENGINE_NAMES = { chromium: 'Chromium', firefox: 'Firefox ESR', webkit: 'WebKitGTK' };
export const ENGINES = Object.keys(ENGINE_NAMES);
// An engine that has not started in this long will not.
const LAUNCH_TIMEOUT_MS = 45000;

// The ends of what a test file started, at its end or when it fails. Any
// child left running keeps the test file's process, and so node --test, from
// ending: a failed launch ends them all.
const started = new Set();
const stopAll = () => started.forEach((child) => child.kill());
process.on('exit', stopAll);

function start(command, args, options = {}) {
  const child = spawn(command, args, { stdio: 'ignore', ...options });
  started.add(child);
  child.on('exit', () => started.delete(child));
  return child;
}

// An Xvfb that picks its own free display and says which once it is ready.
function startXvfb() {
  const xvfb = start('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  return new Promise((done, fail) => {
    xvfb.on('exit', () => fail(new Error('Xvfb did not start')));
    xvfb.stdio[3].on('data', (number) => done({ display: `:${String(number).trim()}`, stop: () => xvfb.kill() }));
  });
}

async function launchFirefox() {
  const xvfb = await startXvfb();
  try {
    const browser = await puppeteer.launch({
      browser: 'firefox', executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr', headless: false,
      extraPrefsFirefox: { 'webgl.force-enabled': true }, env: { ...process.env, DISPLAY: xvfb.display },
    });
    browser.on('disconnected', xvfb.stop);
    return browser;
  } catch (error) {
    xvfb.stop();
    throw error;
  }
}

const MINIBROWSER = process.env.MINIBROWSER ?? readdirSync('/usr/lib')
  .map((dir) => join('/usr/lib', dir, 'webkit2gtk-4.1/MiniBrowser')).find(existsSync);
const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';
const LOG_PATH = '/__walker-test-log';
// The preload scripts, and the scripts addScriptTag adds (by number).
const PRELOAD_PATH = '/__walker-test-preload.js';
const SCRIPT_PATH = '/__walker-test-script/';
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

function freePort() {
  return new Promise((done) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => done(port));
    });
  });
}

// Runs in each document before its own scripts: what the page reports, sent
// to the proxy (the page's service worker lets POST requests through).
function reporter(path) {
  const report = (type, text) => navigator.sendBeacon(path, JSON.stringify({ type, text }));
  addEventListener('error', (event) => {
    if (event.target === window) report('pageerror', event.message);
    else report('console', `${event.target.src ?? event.target.href} could not be loaded`);
  }, true);
  addEventListener('unhandledrejection', (event) => report('pageerror', String(event.reason?.message ?? event.reason)));
  const error = console.error;
  console.error = (...args) => {
    report('console', args.join(' '));
    error.apply(console, args);
  };
}

// A driver that never answers fails its command rather than hanging the run:
// on a loaded machine a new session's MiniBrowser sometimes never came up,
// and is tried again; no single command takes anywhere near its limit.
const SESSION_MS = 60000;
const COMMAND_MS = 180000;

// One page: a WebKitWebDriver of its own (it serves one session) with a
// MiniBrowser, and its proxy.
class WebKitPage extends EventEmitter {
  #display;
  #scale = 1;
  #viewport = { width: 800, height: 600 };  // puppeteer's default
  #preloads = [`(${reporter})(${JSON.stringify(LOG_PATH)})`];
  #scripts = [];
  #offline = false;
  #proxy;
  #driver;
  #session;
  keyboard = new BidiKeyboard({
    mainFrame: () => ({ browsingContext: { performActions: (actions) => this.#command('POST', 'actions', { actions }) } }),
  });

  constructor(display) {
    super();
    this.#display = display;
  }

  async #command(method, path, body) {
    const session = await this.#started();
    const response = await fetch(`${session}/${path}`.replace(/\/$/, ''), {
      method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body),
      signal: AbortSignal.timeout(COMMAND_MS),
    });
    const { value } = await response.json();
    if (value?.error) throw new Error(`WebKit: ${value.error}: ${value.message}`);
    return value;
  }

  #started() {
    this.#session ??= this.#start();
    return this.#session;
  }

  async #start() {
    this.#proxy = http.createServer((request, response) => this.#pass(request, response));
    await new Promise((done) => this.#proxy.listen(0, '127.0.0.1', done));
    const args = ['--automation', `--proxy=http://127.0.0.1:${this.#proxy.address().port}`];
    // A free port may be taken before the driver listens on it: another then.
    for (let attempt = 1; ; attempt++) {
      const session = await this.#newSession(args).catch((error) => {
        this.#driver.kill();
        if (attempt < 3) return null;
        this.#proxy.close();
        throw error;
      });
      if (session) {
        this.#session = Promise.resolve(session);
        break;
      }
    }
    await this.#fitWindow();
    return this.#session;
  }

  async #newSession(args) {
    const port = await freePort();
    const driver = `http://127.0.0.1:${port}`;
    this.#driver = start('WebKitWebDriver', [`--port=${port}`],
      { env: { ...process.env, DISPLAY: this.#display, GDK_SCALE: String(this.#scale) } });
    for (let i = 0; !(await fetch(`${driver}/status`).then((r) => r.ok, () => false)); i++) {
      if (i === 100 || this.#driver.exitCode !== null) throw new Error('WebKitWebDriver did not start');
      await sleep(50);
    }
    const response = await fetch(`${driver}/session`, {
      method: 'POST', headers: { 'Content-Type': 'application/json' }, signal: AbortSignal.timeout(SESSION_MS),
      body: JSON.stringify({ capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: MINIBROWSER, args } } } }),
    });
    const { value } = await response.json();
    if (!value.sessionId || this.#driver.exitCode !== null) throw new Error(`WebKit: no session: ${value.message}`);
    return `${driver}/session/${value.sessionId}`;
  }

  // The proxy: what the page asks for, passed on to its server.
  #pass(request, response) {
    const { pathname } = new URL(request.url);
    const own = pathname === PRELOAD_PATH ? this.#preloads.join(';\n')
      : pathname.startsWith(SCRIPT_PATH) ? this.#scripts[Number(pathname.slice(SCRIPT_PATH.length))] : undefined;
    if (own !== undefined) {
      response.writeHead(200, { 'content-type': 'text/javascript', 'cache-control': 'no-store' });
      response.end(own);
      return;
    }
    if (pathname === LOG_PATH) {
      let body = '';
      request.on('data', (chunk) => (body += chunk)).on('end', () => {
        const { type, text } = JSON.parse(body);
        this.emit(type, type === 'pageerror' ? new Error(text) : { type: () => 'error', text: () => text });
        response.end();
      });
      return;
    }
    this.emit('request', { url: () => request.url });
    if (this.#offline) {
      request.socket.destroy();
      return;
    }
    const onward = http.request(request.url, { method: request.method, headers: request.headers }, (answer) => {
      if (!/^text\/html/.test(answer.headers['content-type'] ?? '')) {
        response.writeHead(answer.statusCode, answer.headers);
        answer.pipe(response);
        return;
      }
      const chunks = [];
      answer.on('data', (chunk) => chunks.push(chunk)).on('end', () => {
        const html = Buffer.from(Buffer.concat(chunks).toString()
          .replace(/<head[^>]*>/i, (head) => `${head}<script src="${PRELOAD_PATH}"></script>`));
        response.writeHead(answer.statusCode, { ...answer.headers, 'content-length': html.length });
        response.end(html);
      });
    });
    onward.on('error', () => request.socket.destroy());
    request.pipe(onward);
  }

  // The window's size for the viewport asked for: the window's frame is what
  // its outer size has beyond the inner. The window takes the new size a
  // little after it is asked to.
  async #fitWindow() {
    const { width, height } = this.#viewport;
    const inner = () => this.evaluate(() => [window.innerWidth, window.innerHeight]);
    const [outer, [innerWidth, innerHeight]] = [await this.#command('GET', 'window/rect'), await inner()];
    await this.#command('POST', 'window/rect', { width: outer.width - innerWidth + width, height: outer.height - innerHeight + height });
    for (let i = 0, shown = await inner(); String(shown) !== String([width, height]); i++, shown = await inner()) {
      if (i === 100) throw new Error(`WebKit's window cannot show ${width} x ${height} CSS pixels (it shows ${shown.join(' x ')})`);
      await sleep(20);
    }
  }

  async setViewport({ width, height, deviceScaleFactor = 1 }) {
    if (this.#session && deviceScaleFactor !== this.#scale) {
      throw new Error('WebKit\'s device pixel ratio is set before the page opens');
    }
    [this.#viewport, this.#scale] = [{ width, height }, deviceScaleFactor];
    if (this.#session) await this.#fitWindow();
  }

  async evaluateOnNewDocument(fn, ...args) {
    this.#preloads.push(`(${fn})(...${JSON.stringify(args)})`);
  }

  async setOfflineMode(offline) {
    this.#offline = offline;
  }

  async goto(url) {
    await this.#command('POST', 'url', { url });
  }

  async reload() {
    await this.#command('POST', 'refresh', {});
  }

  title() {
    return this.#command('GET', 'title');
  }

  // Runs fn in the page with JSON arguments (a string is an expression, as in
  // puppeteer); what it returns (a promise's value) comes back as JSON.
  evaluate(fn, ...args) {
    return this.#run(typeof fn === 'string' ? `() => (${fn})` : fn, args);
  }

  #run(fn, args) {
    return this.#command('POST', 'execute/sync', { script: `return (${fn}).apply(null, arguments)`, args });
  }

  $eval(selector, fn, ...args) {
    return this.#run(`(selector, ...args) => {
      const element = document.querySelector(selector);
      if (!element) throw new Error('No element matches ' + selector);
      return (${fn})(element, ...args);
    }`, [selector, ...args]);
  }

  $$eval(selector, fn, ...args) {
    return this.#run(`(selector, ...args) => (${fn})([...document.querySelectorAll(selector)], ...args)`, [selector, ...args]);
  }

  async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
    for (const end = Date.now() + timeout; !(await this.evaluate(fn, ...args));) {
      if (Date.now() > end) throw new Error(`WebKit: waited ${timeout} ms for ${fn}`);
      await sleep(20);
    }
  }

  // In the page, or in its frame of that id.
  addScriptTag({ content, frame = null }) {
    this.#scripts.push(content);
    return this.evaluate((src, id) => new Promise((done, fail) => {
      const where = id ? document.getElementById(id).contentDocument : document;
      where.head.append(Object.assign(where.createElement('script'), { src, onload: () => done(), onerror: () => fail(new Error(`${src} not loaded`)) }));
    }), `${SCRIPT_PATH}${this.#scripts.length - 1}`, frame);
  }

  async #element(selector) {
    return (await this.#command('POST', 'element', { using: 'css selector', value: selector }))[ELEMENT];
  }

  async click(selector) {
    await this.#command('POST', `element/${await this.#element(selector)}/click`, {});
  }

  // Only for its screenshot, as a PNG.
  async $(selector) {
    const id = await this.#element(selector);
    return { screenshot: async () => Buffer.from(await this.#command('GET', `element/${id}/screenshot`), 'base64') };
  }

  async close() {
    if (this.#session) await this.#command('DELETE', '').catch(() => {});
    this.#driver?.kill();
    this.#proxy?.close();
  }
}

async function launchWebKit() {
  const xvfb = await startXvfb();
  const pages = new Set();
  // Each page starts a MiniBrowser of its own when it is first used: one
  // started and closed here says now whether any can start.
  const probe = new WebKitPage(xvfb.display);
  try {
    await probe.goto('about:blank');
  } catch (error) {
    xvfb.stop();
    throw error;
  } finally {
    await probe.close();
  }
  return {
    async newPage() {
      const page = new WebKitPage(xvfb.display);
      pages.add(page);
      return page;
    },
    async close() {
      await Promise.all([...pages].map((page) => page.close()));
      xvfb.stop();
    },
  };
}

const LAUNCH = { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit };

// Fails within LAUNCH_TIMEOUT_MS, naming the engine, and leaves nothing
// running when it does.
export async function launch(engine) {
  if (!LAUNCH[engine]) throw new Error(`No browser engine ${engine}: ${ENGINES.join(', ')}`);
  const launching = LAUNCH[engine]();
  let timer;
  const late = new Promise((_, fail) => {
    timer = setTimeout(() => {
      launching.then((browser) => browser.close(), () => {});
      fail(new Error(`not started after ${LAUNCH_TIMEOUT_MS / 1000} s`));
    }, LAUNCH_TIMEOUT_MS);
  });
  try {
    return await Promise.race([launching, late]);
  } catch (error) {
    stopAll();
    throw new Error(`${ENGINE_NAMES[engine]} (${engine}) could not start: ${error.message}`, { cause: error });
  } finally {
    clearTimeout(timer);
  }
}
