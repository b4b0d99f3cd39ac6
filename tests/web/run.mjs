// Runs the browser tests (every *.test.mjs here) once in each engine that
// WALKER_BROWSERS names (comma-separated, all three by default), one engine
// after the other: on a machine of two cores, engines side by side would
// make each other's frames late. Prints each engine's counts and time, and
// fails when any engine's tests fail.
// Usage: node tests/web/run.mjs [node --test options, e.g. --test-name-pattern=minus]
// (npm test builds the page first)
import { spawn } from 'node:child_process';
import { dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { ENGINES } from './engines.mjs';

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
  const tests = spawn(process.execPath,
    ['--test', '--test-reporter=spec', ...process.argv.slice(2), dirname(fileURLToPath(import.meta.url))],
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
process.exitCode = results.some(({ status, fail }) => status !== 0 || fail > 0) ? 1 : 0;
