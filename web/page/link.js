// A link to what the page shows: the state in the address's fragment, as
// name=value fields joined by & and closed by "end" (a link cut short lacks
// it), and the program's keys that reach that state from the program's start.
// The page never sets the program's state itself: it presses the keys, so a
// link shows the same pixels in any browser. Pure: the page reads the
// program's state and starting values, and presses the keys (open_link.js).
//   parseLink(fragment, start)  { state } or { error }, never a throw
//   linkFor(state)              the fragment, without its #
//   keysFor(state, start)       the keys, from the start paused
// A state as the program's accessors read it, with the inspector's fields;
// start: the program's state as it starts, and its cycle's length in steps.

// The keys turn by this many degrees, and move the view by whole units.
const TURN = 5;
const LONGEST = 2000;  // characters: far beyond any link this writes
const FARTHEST = 100;  // units of the view's distance either way from the start

const int = (text) => (/^-?\d{1,6}$/.test(text) ? Number(text) : NaN);
const flag = (text) => (text === '0' || text === '1' ? text === '1' : NaN);
// What-if edits of the recorded frame: "CALL:ARGUMENT:VALUE" for an argument
// changed, "CALL~CALL" for two transforms swapped, comma-separated in the
// order made. Calls are the frame's, so the page checks them against it.
const MOST_EDITS = 64;
const readEdit = (text) => {
  const changed = /^(\d{1,5}):([0-3]):(-?\d{1,6}(?:\.\d{1,6})?)$/.exec(text);
  if (changed) return { call: Number(changed[1]), argument: Number(changed[2]), value: Number(changed[3]) };
  const swapped = /^(\d{1,5})~(\d{1,5})$/.exec(text);
  return swapped && swapped[1] !== swapped[2] ? { swap: [Number(swapped[1]), Number(swapped[2])] } : null;
};
const readEdits = (text) => {
  const list = text.split(',').map(readEdit);
  return list.length <= MOST_EDITS && !list.includes(null) ? list : NaN;
};
const writeEdits = (list) => list.map((e) => (e.swap ? e.swap.join('~') : `${e.call}:${e.argument}:${Number(e.value.toFixed(6))}`)).join(',');

const turn = (value, start) => Number.isInteger(value) && Math.abs(value) < 360 && (value - start) % TURN === 0;

// Each field: how its text is read and whether a value is in range (given
// the start). A field left out is the start's; the inspector's own fields
// come only with the inspector open. More kinds of field fit the list as
// they come.
const FIELDS = {
  step: { read: int, valid: (v, s) => Number.isInteger(v) && v >= 0 && v < s.cycle },
  yaw: { read: int, valid: (v) => Number.isInteger(v) && Math.abs(v) < 360 },
  pitch: { read: int, valid: (v, s) => turn(v, s.pitch) },
  distance: {
    read: (t) => (/^-?\d{1,6}(\.\d{1,6})?$/.test(t) ? Number(t) : NaN),
    valid: (v, s) => Number.isInteger(v - s.distance) && Math.abs(v - s.distance) <= FARTHEST,
  },
  turret: { read: int, valid: (v, s) => turn(v, s.turret) },
  legs: { read: int, valid: (v, s) => turn(v, s.legs) },
  wire: { read: flag, valid: (v) => typeof v === 'boolean' },
  beam: { read: flag, valid: (v) => typeof v === 'boolean' },
  inspect: { read: flag, valid: (v) => typeof v === 'boolean' },
  // Shapes drawn, the chosen shape and its chain's chosen step: the recorded
  // frame says how many it has, so the page checks them against it.
  upto: { read: int, valid: (v) => Number.isInteger(v) && v >= 0, inspector: true },
  shape: { read: int, valid: (v) => Number.isInteger(v) && v >= 0, inspector: true },
  chain: { read: int, valid: (v) => Number.isInteger(v) && v >= 0, inspector: true },
  whatif: { read: readEdits, valid: (v) => Array.isArray(v), write: writeEdits, inspector: true },
};
const END = 'end';

// The start, as a link's state: what a field left out of a link means.
export const startState = (start) => ({
  step: 0, yaw: start.yaw, pitch: start.pitch, distance: start.distance, turret: start.turret, legs: start.legs,
  wire: start.wire, beam: false, inspect: false, upto: null, shape: null, chain: null, whatif: null,
});

export function parseLink(fragment, start) {
  const text = String(fragment ?? '').replace(/^#/, '');
  if (text.length > LONGEST) return { error: 'it is far too long' };
  const fields = text.split('&');
  if (fields.at(-1) !== END) return { error: 'it is cut short' };
  const state = startState(start);
  const seen = new Set();
  for (const field of fields.slice(0, -1)) {
    const at = field.indexOf('=');
    const name = at < 0 ? field : field.slice(0, at);
    const kind = Object.hasOwn(FIELDS, name) ? FIELDS[name] : null;
    if (!kind) return { error: 'it has a field this page does not know' };
    if (seen.has(name)) return { error: `it gives the ${name} twice` };
    seen.add(name);
    const value = at < 0 ? NaN : kind.read(field.slice(at + 1));
    if (!kind.valid(value, start)) return { error: `its ${name} is not one the keys reach` };
    state[name] = value;
  }
  if (!state.inspect && Object.keys(FIELDS).some((name) => FIELDS[name].inspector && state[name] !== null)) {
    return { error: 'it chooses in the frame inspector without opening it' };
  }
  if (state.chain !== null && state.shape === null) return { error: 'it chooses a step of no shape\'s chain' };
  return { state };
}

export function linkFor(state) {
  const fields = Object.keys(FIELDS).filter((name) => state[name] !== null && (state.inspect || !FIELDS[name].inspector))
    .filter((name) => !Array.isArray(state[name]) || state[name].length > 0)
    .map((name) => `${name}=${FIELDS[name].write?.(state[name]) ?? (typeof state[name] === 'boolean' ? Number(state[name]) : state[name])}`);
  return [...fields, END].join('&');
}

const repeat = (key, times) => Array(Math.max(0, times)).fill(key);
// Keys that turn an angle from one value to another, a key a step.
const turning = (from, to, up, down) => (to >= from ? repeat(up, (to - from) / TURN) : repeat(down, (from - to) / TURN));

// From the start, paused. A view's turn that the arrows cannot reach (the
// spin's, by single degrees) is first spun to its remainder: each of the
// spin's steps is a step of the walk too, which the steps make up for. The
// beam comes last, so that the frame drawn next shows it.
export function keysFor(state, start) {
  const spun = (((state.yaw - start.yaw) % TURN) + TURN) % TURN;
  const steps = (((state.step - spun) % start.cycle) + start.cycle) % start.cycle;
  return [
    ...(spun > 0 ? ['d', ...repeat('s', spun), 'd'] : []),
    ...repeat('s', steps),
    ...turning(start.yaw + spun, state.yaw, 'ArrowLeft', 'ArrowRight'),
    ...turning(start.pitch, state.pitch, 'ArrowUp', 'ArrowDown'),
    ...repeat('=', start.distance - state.distance),
    ...repeat('-', state.distance - start.distance),
    ...turning(start.turret, state.turret, 'z', 'x'),
    ...turning(start.legs, state.legs, ',', '.'),
    ...(state.wire !== start.wire ? [state.wire ? '1' : '2'] : []),
    ...(state.beam ? ['a'] : []),
  ];
}
