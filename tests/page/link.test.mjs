// The link to a view (web/page/link.js): read back as written, every bad link
// refused with words and no throw, and its keys, pressed on a model of the
// key table (docs/keys.tsv), reach the state it holds.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { keysFor, linkFor, parseLink, startState } from '../../web/page/link.js';

// The program's start as its accessors read it.
const START = { cycle: 160, step: 0, yaw: 0, pitch: 0, distance: 5, turret: -90, legs: 0, wire: false };
const VIEW = {
  ...startState(START), step: 159, yaw: -357, pitch: 355, distance: 12, turret: 355, legs: -355, wire: true,
  beam: true, inspect: true, upto: 20, shape: 7, chain: 3,
};

// The keys as docs/keys.tsv binds them, angles kept by the remainder that
// keeps the dividend's sign; paused, s steps once, and each step spins the
// view while the spin is on.
function press(keys, start) {
  const s = { ...start, spin: false, beam: false };
  const turn = (name, by) => (s[name] = (s[name] + by) % 360);
  const step = () => {
    s.step = (s.step + 1) % s.cycle;
    if (s.spin) turn('yaw', 1);
  };
  const KEYS = {
    ArrowLeft: () => turn('yaw', 5), ArrowRight: () => turn('yaw', -5), ArrowUp: () => turn('pitch', 5),
    ArrowDown: () => turn('pitch', -5), z: () => turn('turret', 5), x: () => turn('turret', -5),
    ',': () => turn('legs', 5), '.': () => turn('legs', -5), '=': () => (s.distance -= 1), '-': () => (s.distance += 1),
    1: () => (s.wire = true), 2: () => (s.wire = false), a: () => (s.beam = true), d: () => (s.spin = !s.spin), s: step,
  };
  for (const key of keys) {
    assert.ok(KEYS[key], `${key} is a key of the table that does not pause`);
    KEYS[key]();
  }
  return s;
}

test('a link is read back as the state it was written from, and its keys reach that state', () => {
  const views = [VIEW, startState(START), { ...VIEW, yaw: 359, step: 0, inspect: false, upto: null, shape: null, chain: null },
    { ...VIEW, yaw: -1, step: 2, pitch: -355, distance: -95, turret: -355, legs: 5, upto: 0, chain: null },
    { ...VIEW, yaw: 3, step: 1, wire: false, beam: false, shape: null, chain: null },
    { ...VIEW, whatif: [{ call: 12, argument: 0, value: -40.5 }, { swap: [30, 31] }, { call: 3, argument: 2, value: 0.125 }] }];
  for (const view of views) {
    const link = linkFor(view);
    assert.deepEqual(parseLink(`#${link}`, START), { state: view }, link);
    const reached = press(keysFor(view, START), START);
    for (const name of ['step', 'yaw', 'pitch', 'distance', 'turret', 'legs', 'wire', 'beam']) {
      assert.equal(reached[name], view[name], `${link}: ${name}`);
    }
    assert.equal(reached.spin, false, `${link}: the spin is left off`);
  }
  // Every turn of the view, single degrees too.
  for (let yaw = -359; yaw < 360; yaw++) assert.equal(press(keysFor({ ...VIEW, yaw }, START), START).yaw, yaw);
});

test('a bad link is refused in words, whatever it holds', () => {
  const good = linkFor(VIEW);
  const bad = {
    'cut short': good.slice(0, -5), 'cut in a value': good.slice(0, good.indexOf('=') + 2),
    empty: '', 'unknown field': `colour=red&${good}`, 'field twice': `step=1&${good}`, 'no value': 'step&end',
    garbage: '%%%\u0000\uFFFF&&==', 'script in it': '<script>alert(1)</script>&end', '100 KB': `step=1&${'x'.repeat(100000)}&end`,
    'step past the cycle': 'step=160&end', 'step before it': 'step=-1&end', 'step not whole': 'step=1.5&end',
    'step in hex': 'step=0x10&end', 'step as exponent': 'step=1e2&end', 'yaw a whole turn': 'yaw=360&end',
    'pitch off the keys\' turns': 'pitch=7&end', 'turret off them': 'turret=-88&end', 'distance off the units': 'distance=4.5&end',
    'distance far off': 'distance=500&end', 'wire not a flag': 'wire=2&end', 'inspector fields closed': 'shape=3&end',
    'a chain step with no shape': 'inspect=1&chain=2&end', 'the prototype\'s field': '__proto__=1&end',
    'a what-if of no argument': 'inspect=1&whatif=12:4:1&end', 'a call swapped with itself': 'inspect=1&whatif=7~7&end',
    'a what-if in words': 'inspect=1&whatif=twelve&end', 'what-ifs without end': `inspect=1&whatif=${'1~2,'.repeat(64)}1~2&end`,
  };
  for (const [what, text] of Object.entries(bad)) {
    const result = parseLink(`#${text}`, START);
    assert.equal(result.state, undefined, what);
    assert.match(result.error, /^[a-z][^<>]{5,80}$/, `${what}: a few words, none of the link's own markup`);
  }
});
