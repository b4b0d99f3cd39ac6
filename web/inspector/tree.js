// The frame's calls as the matrix stack nests them: each push opens a level
// that its pop closes. A pop with nothing pushed stays a line of its own.
export function nest(calls) {
  const root = { children: [] };
  const levels = [root];
  for (const call of calls) {
    const level = levels.at(-1);
    if (call.name === 'glPushMatrix') {
      const inner = { push: call, children: [], pop: null };
      level.children.push(inner);
      levels.push(inner);
    } else if (call.name === 'glPopMatrix' && levels.length > 1) {
      level.pop = call;
      levels.pop();
    } else {
      level.children.push(call);
    }
  }
  return root;
}

export const isLevel = (node) => node.children !== undefined;
export const shapesIn = (node) => (isLevel(node) ? node.children.flatMap(shapesIn) : node.shape >= 0 ? [node] : []);
export const levelsIn = (node) => node.children.filter((child) => isLevel(child) && shapesIn(child).length > 0);
