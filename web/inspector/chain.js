// The modelview transforms in force at call i of the frame, from its start:
// what each push saved comes back with its pop.
const GL_PROJECTION = 0x1701;
const TRANSFORMS = ['glTranslatef', 'glRotatef', 'glScalef'];

export const isTransform = (call) => TRANSFORMS.includes(call.name);

// The walk over the calls before i that both the chain and the stack take:
// visit(call, projection) for each.
const walk = (calls, i, visit) => {
  let projection = false;
  for (const call of calls.slice(0, i)) {
    if (call.name === 'glMatrixMode') projection = call.args[0] === GL_PROJECTION;
    else if (!projection) visit(call);
  }
};

// The chain, and what the pops did to the transforms before call i: those a
// pop threw away while the levels call i is in were open (each with that
// pop), and for each transform of the chain the first pop it outlived.
export function transformsAt(calls, i) {
  let level = { chain: [], own: [], discarded: [] };
  const saved = [];
  const kept = new Map();  // a transform's index → the first pop it outlived
  walk(calls, i, (call) => {
    if (call.name === 'glPushMatrix') {
      saved.push(level);
      level = { chain: level.chain, own: [], discarded: [] };
    } else if (call.name === 'glPopMatrix' && saved.length > 0) {
      const gone = level.own.map((transform) => ({ transform, pop: call }));
      level = saved.pop();
      level = { ...level, discarded: [...level.discarded, ...gone] };
      for (const transform of level.chain) if (!kept.has(transform.index)) kept.set(transform.index, call);
    } else if (call.name === 'glLoadIdentity') {
      level = { ...level, chain: [call], own: [call] };
    } else if (isTransform(call)) {
      level = { ...level, chain: [...level.chain, call], own: [...level.own, call] };
    }
  });
  const discarded = [...saved, level].flatMap((l) => l.discarded).sort((a, b) => a.transform.index - b.transform.index);
  const inChain = new Set(level.chain.map((t) => t.index));
  for (const index of kept.keys()) if (!inChain.has(index)) kept.delete(index);
  return { chain: level.chain, discarded, kept };
}

export const chainTo = (calls, i) => transformsAt(calls, i).chain;

// The modelview stack after call i, bottom first: each level's matrix, the
// top last (null for the levels below the frame's start, which it never sees).
export function stackAt(frame, i) {
  const stack = [...new Array(frame.startDepth).fill(null), frame.start];
  walk(frame.calls, i + 1, (call) => {
    if (call.name === 'glPushMatrix') stack.push(stack.at(-1));
    else if (call.name === 'glPopMatrix' && stack.length > 1) stack.pop();
    else stack[stack.length - 1] = call.modelview;
  });
  return stack;
}

// A point of a matrix's coordinates on the canvas, in its pixels from the
// top left: through the projection and the viewport, as the GL puts it;
// null behind the eye.
export function onCanvas(frame, matrix, [x, y, z]) {
  const apply = (m, v) => [0, 1, 2, 3].map((r) => m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3]);
  const [cx, cy, , w] = apply(frame.projection, apply(matrix, [x, y, z, 1]));
  if (w <= 1e-6) return null;
  const [left, bottom, width, height] = frame.viewport;
  return [left + (cx / w + 1) * width / 2, frame.bufferHeight - (bottom + (cy / w + 1) * height / 2)];
}

// The axes a matrix sets up, length units long: its origin and the ends of
// its x, y and z axes on the canvas.
export const axesOf = (frame, matrix, length) => ({
  origin: onCanvas(frame, matrix, [0, 0, 0]),
  ends: [[length, 0, 0], [0, length, 0], [0, 0, length]].map((p) => onCanvas(frame, matrix, p)),
});
