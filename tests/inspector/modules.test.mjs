// The frame inspector's pure modules (web/inspector/) on frames the real
// page recorded (tools/record_frames.mjs): reading the record, the tree,
// the parts' names, the words, the chain of transforms and the chain of
// routines with the source's lines, checked by
// properties of any frame of the walker rather than by one frame's numbers.
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { test } from 'node:test';
import { chainTo } from '../../web/inspector/chain.js';
import { nameParts } from '../../web/inspector/parts.js';
import { readFormat, readRecord } from '../../web/inspector/record.js';
import { chainLines, chainText, ledBy, madeIn, sourceFiles } from '../../web/inspector/source.js';
import { nest, shapesIn } from '../../web/inspector/tree.js';
import { rowsOf, wordsFor } from '../../web/inspector/words.js';

const DIR = new URL('frames/', import.meta.url);
const FRAMES = readdirSync(DIR).filter((f) => f.endsWith('.json')).map((file) => {
  const saved = JSON.parse(readFileSync(new URL(file, DIR), 'utf8'));
  const format = readFormat(saved.format);
  const bytes = Buffer.from(saved.record, 'base64');
  const frame = readRecord(format, new Float64Array(bytes.buffer, bytes.byteOffset, bytes.length / 8));
  return { name: file.replace('.json', ''), format, frame, ...nameParts(nest(frame.calls)) };
});

const multiply = (a, b) => Array.from({ length: 16 }, (_, k) => {
  const [c, r] = [Math.floor(k / 4), k % 4];
  return [0, 1, 2, 3].reduce((sum, i) => sum + a[i * 4 + r] * b[c * 4 + i], 0);
});
// A transform's own matrix, from its arguments.
const matrixOf = ({ name, args }) => {
  const m = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1];
  if (name === 'glTranslatef') [m[12], m[13], m[14]] = args;
  if (name === 'glScalef') [m[0], m[5], m[10]] = args;
  if (name === 'glRotatef') {
    const [angle, ...axis] = args;
    const length = Math.hypot(...axis);
    const [x, y, z] = axis.map((v) => v / length);
    const [c, s] = [Math.cos(angle * Math.PI / 180), Math.sin(angle * Math.PI / 180)];
    const rows = [[x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s],
      [y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s],
      [x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c]];
    for (let r = 0; r < 3; r++) for (let col = 0; col < 3; col++) m[col * 4 + r] = rows[r][col];
  }
  return m;
};
const near = (a, b) => a.every((v, i) => Math.abs(v - b[i]) < 1e-4);
const origin = (m) => m.slice(12, 15);
const distance = (a, b) => Math.hypot(...origin(a).map((v, i) => v - origin(b)[i]));

test('every recorded call reads back whole: the stack\'s depth, shapes in order, boxes inside the canvas', () => {
  for (const { name, frame } of FRAMES) {
    let depth = frame.startDepth;
    for (const call of frame.calls) {
      depth += call.name === 'glPushMatrix' ? 1 : call.name === 'glPopMatrix' ? -1 : 0;
      assert.equal(call.depth, depth, `${name}: the depth after call ${call.index}`);
    }
    const shapes = frame.calls.filter((c) => c.shape >= 0);
    assert.deepEqual(shapes.map((c) => c.shape), shapes.map((_, i) => i), `${name}: shapes in the painter's order`);
    assert.equal(shapes.length, frame.shapes);
    const [, , width, height] = frame.viewport;
    for (const { box } of shapes.filter((c) => c.box)) {
      assert.ok(box[0] >= 0 && box[1] >= 0 && box[2] <= width && box[3] <= height && box[0] < box[2] && box[1] < box[3],
        `${name}: box ${box} inside the ${width} x ${height} canvas`);
    }
  }
});

test('the chain of transforms to each shape, applied to the frame\'s start in order, is the shape\'s own matrix', () => {
  for (const { name, frame } of FRAMES) {
    for (const call of frame.calls.filter((c) => c.shape >= 0)) {
      const chain = chainTo(frame.calls, call.index);
      assert.ok(near(chain.at(-1).modelview, call.modelview), `${name}: the last transform leaves shape ${call.shape}'s matrix`);
      const product = chain.reduce((m, t) => multiply(m, matrixOf(t)), frame.start);
      assert.ok(near(product, call.modelview), `${name}: the chain's product is shape ${call.shape}'s matrix`);
      for (const m of [frame.start, ...chain.map((t) => t.modelview)]) {
        assert.deepEqual(rowsOf(m)[3], [0, 0, 0, 1], `${name}: every matrix shown is affine, its translation in the last column`);
      }
    }
  }
});

// What each part is, whatever the pose: its shape and its colour.
const KIND = {
  'hip ball': ['Sphere', 'green'], thigh: ['Cube', 'blue'], 'knee ball': ['Sphere', 'green'], shin: ['Cube', 'blue'],
  'ankle cube': ['Cube', 'green'], foot: ['Cube', 'blue'], turret: ['Cube', 'green'], 'barrel cube': ['Cube', 'magenta'],
  'hip block': ['Cube', 'cyan'], beam: ['Cube', 'white'],
};
const COLOURS = { green: '0,1,0', blue: '0,0,1', magenta: '1,0,1', cyan: '0,1,1', white: '1,1,1' };

test('every shape is named once, as the part it is; each level by what it holds', () => {
  for (const { name, frame, shapes, levels } of FRAMES) {
    assert.equal(new Set(shapes.values()).size, frame.shapes, `${name}: every shape named, each once`);
    assert.equal(name === 'beam', [...shapes.values()].includes('beam'), `${name}: the beam only in its frame`);
    const byName = new Map([...shapes].map(([shape, part]) => [part, frame.calls.find((c) => c.shape === shape)]));
    for (const [part, call] of byName) {
      const [kind, colour] = KIND[part.replace(/^.*: /, '').replace(/ \d$/, '')];
      assert.ok(call.name.endsWith(kind), `${name}: ${part} is drawn by ${call.name}`);
      assert.equal(call.colour.join(), COLOURS[colour], `${name}: ${part} is ${colour}`);
    }
    for (const pair of ['front', 'rear']) {
      for (const leg of ['0 (its left)', '1 (its right)']) {
        const part = (p) => byName.get(`${pair} pair, leg ${leg}: ${p}`).modelview;
        assert.ok(distance(part('thigh'), part('hip ball')) < distance(part('shin'), part('hip ball')),
          `${name}: ${pair} leg ${leg}'s thigh is nearer its hip ball than its shin`);
      }
    }
    if (name === 'start') {
      const hip = (leg) => origin(byName.get(`front pair, leg ${leg}: hip ball`).modelview)[0];
      assert.ok(hip('0 (its left)') > hip('1 (its right)'), 'seen from the front, leg 0 is on the eye\'s right');
    }
    // A level named for a part holds that part's shapes and no other; the
    // walker's holds every shape, and each leg's its six parts. Every push
    // has its pop.
    const root = nest(frame.calls);
    const walk = (node) => node.children.filter((c) => c.children).flatMap((c) => [c, ...walk(c)]);
    const holding = new Map(walk(root).map((l) => [levels.get(l.push.index), shapesIn(l).map((s) => shapes.get(s.shape))]));
    assert.equal(holding.get('walker')?.length, frame.shapes, `${name}: the walker's level holds every shape`);
    for (const leg of [...shapes.values()].filter((s) => s.endsWith(': foot')).map((s) => s.replace(': foot', ''))) {
      assert.ok(holding.get(leg)?.length === 6 && holding.get(leg).every((s) => s.startsWith(leg)), `${name}: a level named ${leg} holds its parts`);
    }
    for (const level of walk(root)) {
      assert.equal(level.pop?.name, 'glPopMatrix', `${name}: the push of call ${level.push.index} is popped`);
      const levelName = levels.get(level.push.index);
      const inside = shapesIn(level).map((s) => shapes.get(s.shape));
      if (KIND[levelName] && levelName !== 'turret') assert.ok(inside.length === 1 && inside[0].endsWith(levelName), `${name}: level ${levelName} holds ${inside}`);
      if (/leg \d \([^)]*\)$/.test(levelName ?? '')) assert.ok(inside.length === 6 && inside.every((s) => s.startsWith(levelName)));
    }
  }
});

// The traced calls' names and words as traced_calls.h lists them now (the
// saved frames carry the list of when they were recorded).
const TRACED = [...readFileSync(new URL('../../web/glut/traced_calls.h', import.meta.url), 'utf8')
  .matchAll(/X\(\w+, (\w+), "[^"]*",[\s\\]*"([^"]*)"/g)].map(([, name, words]) => ({ name, words }));

test('a call in words says each of its arguments, in order, as the list of calls has it', () => {
  assert.equal(TRACED.length, FRAMES[0].format.calls.length, 'every traced call read');
  const words = wordsFor(TRACED);
  for (const { name, frame } of FRAMES) {
    for (const call of frame.calls) {
      const said = words(call);
      assert.doesNotMatch(said, /[{}]/, `${name}: ${said}`);
      if (/Translate|Rotate|Scale|Cube|Sphere/.test(call.name)) {
        assert.deepEqual(said.match(/−?[\d.]+/g).map((n) => Number(n.replace('−', '-'))),
          call.args.map((arg) => (Math.abs(arg) < 5e-7 ? 0 : Number(arg.toPrecision(4)) + 0)), `${name}: ${said}`);
      }
    }
  }
});

// A line of the program that draws a part, found from that part's chain of
// routines, leads to exactly the parts the names say it draws: the line of
// drawLegPair drawing leg 0 to both pairs' legs 0, the line of drawLowerBody
// drawing the front pair to the front pair's legs. The chains come from the
// build, the names from the calls' nesting alone.
test('a line in a part\'s chain of routines leads to the calls of the parts it draws, and to no other', () => {
  for (const { name, format, frame, shapes } of FRAMES) {
    const files = sourceFiles(format.routines);
    assert.ok(frame.calls.every((c) => c.chain.every((l) => files.includes(l.file))), `${name}: every link in a file shown`);
    const thigh = frame.calls.find((c) => shapes.get(c.shape) === 'front pair, leg 0 (its left): thigh');
    const partsOf = (routine) => {
      const link = thigh.chain.find((l) => l.routine === routine);
      assert.ok(link, `${name}: ${routine} is in the thigh's chain ${chainText(thigh.chain, thigh.name)}`);
      assert.ok(chainLines(thigh.chain, link.file).has(link.line));
      return ledBy(frame.calls, link.file, link.line).filter((c) => c.shape >= 0).map((c) => shapes.get(c.shape));
    };
    const named = (pattern) => [...shapes.values()].filter((part) => pattern.test(part));
    assert.deepEqual(partsOf('drawLegPair'), named(/^(front|rear) pair, leg 0/), `${name}: drawLegPair's line of leg 0`);
    assert.deepEqual(partsOf('drawLowerBody'), named(/^front pair/), `${name}: drawLowerBody's line of the front pair`);
    assert.deepEqual(partsOf('drawThigh'), named(/: thigh$/), `${name}: drawThigh's line of the thigh`);
    for (const call of frame.calls.filter((c) => c.shape >= 0)) {
      assert.equal(call.chain[0].routine, 'display', `${name}: shape ${call.shape} drawn under display`);
      const said = chainText(call.chain, call.name).split(' → ');
      assert.deepEqual(said.map((s) => s.replace(/ \(.*/, '')), [...call.chain.map((l) => l.routine), call.name]);
    }
    for (const level of frame.calls.filter((c) => c.name === 'glPushMatrix')) assert.ok(madeIn(level), `${name}: a push is made by a routine`);
  }
});
