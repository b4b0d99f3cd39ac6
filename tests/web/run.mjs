// Runs the browser tests (every *.test.mjs here) once in each engine that
// WALKER_BROWSERS names (comma-separated, all three by default), one engine
// after the other: on a machine of two cores, engines side by side would
// make each other's frames late. Prints each engine's counts and time, and
// fails when any engine's tests fail, when an engine cannot start, and when
// a run with WALKER_BROWSERS unset has not run every engine that
// docs/web.md names.
// Usage: node tests/web/run.mjs [node --test options, e.g. --test-name-pattern=minus]
// (npm test builds the page first)
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { ENGINES, ENGINE_NAMES, launch } from './engines.mjs';

const HERE = dirname(fileURLToPath(import.meta.url));

// The engines the documents name: the list that opens docs/web.md's section
// on the browser tests, each item's words up to its first comma.
const section = readFileSync(resolve(HERE, '../../docs/web.md'), 'utf8').split('\n## The browser tests\n')[1] ?? '';
const documented = [...section.split('\n\n').find((block) => block.startsWith('- '))?.matchAll(/^- ([^,\n]+),/gm) ?? []]
  .map(([, name]) => name);
if (String(documented.toSorted()) !== String(Object.values(ENGINE_NAMES).toSorted())) {
  console.error(`docs/web.md names the engines ${documented.join(', ') || 'none'}; engines.mjs has ${Object.values(ENGINE_NAMES).join(', ')}`);
  process.exit(2);
}

const engines = (process.env.WALKER_BROWSERS ?? ENGINES.join(',')).split(',').filter(Boolean);
const unknown = engines.filter((engine) => !ENGINES.includes(engine));
if (unknown.length > 0 || engines.length === 0) {
  console.error(`WALKER_BROWSERS: ${unknown.join(', ') || 'none'} is not among ${ENGINES.join(', ')}`);
  process.exit(2);
}

const results = [];
for (const engine of engines) {
  console.log(`== the browser tests in ${engine}`);
  const start = Date.now();
  // Started once first, so that an engine that cannot start ends the run
  // at once, saying which, rather than failing each test file after it.
  try {
    await (await launch(engine)).close();
  } catch (error) {
    console.error(error.message);
    process.exit(1);
  }
  const tests = spawn(process.execPath,
    ['--test', '--test-reporter=spec', ...process.argv.slice(2), HERE],
    { env: { ...process.env, WALKER_BROWSER: engine }, stdio: ['ignore', 'pipe', 'inherit'] });
  let output = '';
  tests.stdout.on('data', (chunk) => {
    process.stdout.write(chunk);
    output += chunk;
  });
  const status = await new Promise((done) => tests.on('close', done));
  const count = (name) => Number(new RegExp(`ℹ ${name} (\\d+)`).exec(output)?.[1] ?? 0);
  results.push({ engine, status, pass: count('pass'), fail: count('fail'), skipped: count('skipped'), seconds: (Date.now() - start) / 1000 });
}

const total = (name) => results.reduce((n, result) => n + result[name], 0);
for (const { engine, pass, fail, skipped, seconds } of results) {
  console.log(`${engine}: ${pass} passed, ${fail} failed, ${skipped} skipped in ${seconds.toFixed(0)} s`);
}
console.log(`${total('pass')} passed, ${total('fail')} failed, ${total('skipped')} skipped`);
// What ran, from each engine's own counts: an engine left out of a full run,
// or one whose tests never ran, fails it.
const missed = process.env.WALKER_BROWSERS === undefined
  ? ENGINES.filter((engine) => !results.some((r) => r.engine === engine && r.pass + r.fail + r.skipped > 0))
  : [];
if (missed.length > 0) console.error(`not run in ${missed.map((engine) => ENGINE_NAMES[engine]).join(', ')}: a full run is every engine`);
process.exitCode = missed.length > 0 || results.some(({ status, fail }) => status !== 0 || fail > 0) ? 1 : 0;
