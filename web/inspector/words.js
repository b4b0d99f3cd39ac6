// Each call in words, as the list of traced calls says it (traced_calls.h),
// and as the program wrote it.
const GL_COLOR_BUFFER_BIT = 0x4000;
const GL_PROJECTION = 0x1701;
const COLOUR_NAMES = {
  '0,0,0': 'black', '1,0,0': 'red', '0,1,0': 'green', '0,0,1': 'blue',
  '0,1,1': 'cyan', '1,0,1': 'magenta', '1,1,0': 'yellow', '1,1,1': 'white',
};

// Numbers as a person writes them: a few digits, a real minus sign.
export const num = (value) => String(Math.abs(value) < 5e-7 ? 0 : Number(value.toPrecision(4))).replace('-', '−');
export const triple = ([x, y, z]) => `(${num(x)}, ${num(y)}, ${num(z)})`;
export const colourName = (rgb) => COLOUR_NAMES[rgb.slice(0, 3).map(num).join()] ?? `the colour ${triple(rgb)}`;

const KINDS = {
  buffers: (mask) => (mask & GL_COLOR_BUFFER_BIT ? 'the colour buffer' : `buffers ${mask}`),
  mode: (mode) => (mode === GL_PROJECTION ? 'projection' : 'modelview'),
};

// The words of a call of the frame; calls is the format's list of them.
export function wordsFor(calls) {
  const templates = new Map(calls.map(({ name, words }) => [name, words]));
  return (call) => (templates.get(call.name) ?? call.name).replace(/\{(?:(\d+)(?::(\w+))?|rgb)\}/g, (_, k, kind) => {
    if (k === undefined) return colourName(call.args);
    const value = call.args[Number(k)];
    return kind ? KINDS[kind](value) : num(value);
  });
}

// A column-major 4 x 4 matrix, as the GL keeps it, by rows.
export const rowsOf = (m) => [0, 1, 2, 3].map((r) => [0, 1, 2, 3].map((c) => m[c * 4 + r]));

export const code = (call) => `${call.name}(${call.args.map((a) => Number(a.toPrecision(6))).join(', ')})`;
