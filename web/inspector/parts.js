// The walker's parts, named from where in the call tree the program draws
// them rather than from a list of its shapes: each shape, and each push
// level by what it holds. Where the tree does not have the walker's shape,
// nothing is named.
import { levelsIn, shapesIn } from './tree.js';

export const LEG_PARTS = ['hip ball', 'thigh', 'knee ball', 'shin', 'ankle cube', 'foot'];
const PAIRS = ['front pair', 'rear pair'];
// As the readout says them: leg 0 stands on the walker's +x side, its left.
const SIDES = ['its left', 'its right'];

// A leg: the innermost level holding one shape for each of its parts.
const legsIn = (level) => levelsIn(level).flatMap((inner) => {
  const deeper = legsIn(inner);
  return deeper.length > 0 || shapesIn(inner).length !== LEG_PARTS.length ? deeper : [inner];
});

// { shapes: shape's place → name, levels: push's call index → name }.
// The walker is the level that spreads its shapes over levels of their own;
// the frame's own pushes lead down to it. The first of those is the turret:
// its block, and its barrel inside: cubes, then the beam, which a scale
// stretches. Then the leg pairs, front and rear, each with two legs drawn
// part after part; the front pair's level holds the hip block too.
export function nameParts(root) {
  const shapes = new Map();
  const levels = new Map();
  const name = (level, text) => levels.set(level.push.index, text);
  let walker = root;
  for (let inner = levelsIn(walker); inner.length === 1 && !walker.children.some((c) => c.shape >= 0); inner = levelsIn(walker)) {
    if (walker !== root) name(walker, 'the frame');
    [walker] = inner;
  }
  if (walker === root) return { shapes, levels };
  name(walker, 'walker');
  const [turret, ...pairs] = levelsIn(walker);
  if (!turret) return { shapes, levels };
  name(turret, 'turret');
  const blocks = turret.children.filter((c) => c.shape >= 0);
  if (blocks.length === 1) shapes.set(blocks[0].shape, 'turret');
  const [barrel] = levelsIn(turret);
  if (barrel) {
    name(barrel, 'barrel');
    let [scaled, cubes] = [false, 0];
    for (const call of barrel.children) {
      scaled ||= call.name === 'glScalef';
      if (call.shape >= 0) shapes.set(call.shape, scaled ? 'beam' : `barrel cube ${++cubes}`);
    }
  }
  if (pairs.length !== PAIRS.length) return { shapes, levels };
  pairs.forEach((pair, p) => {
    const legs = legsIn(pair);
    if (legs.length !== 2) return;
    legs.forEach((leg, l) => {
      const legName = `${PAIRS[p]}, leg ${l} (${SIDES[l]})`;
      name(leg, legName);
      const own = shapesIn(leg);
      own.forEach((shape, k) => shapes.set(shape.shape, `${legName}: ${LEG_PARTS[k]}`));
      for (const part of levelsIn(leg)) {
        const inside = shapesIn(part);
        if (inside.length === 1) name(part, LEG_PARTS[own.indexOf(inside[0])]);
      }
    });
    const others = shapesIn(pair).filter((shape) => !shapes.has(shape.shape));
    if (others.length === 1) shapes.set(others[0].shape, 'hip block');
    name(pair, others.length === 1 ? `hip block and ${PAIRS[p]}` : PAIRS[p]);
    // The levels between the pair and its parts: a leg moved to its side, and
    // the hip block's own.
    for (const inner of levelsIn(pair)) {
      const inside = shapesIn(inner);
      const leg = legs.find((l) => l !== inner && shapesIn(l).every((s, k) => s === inside[k]) && inside.length === LEG_PARTS.length);
      if (leg) name(inner, `${levels.get(leg.push.index)}, at its side`);
      else if (inside.length === 1 && shapes.get(inside[0].shape) === 'hip block') name(inner, 'hip block');
    }
  });
  return { shapes, levels };
}
