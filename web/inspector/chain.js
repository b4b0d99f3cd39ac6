// The modelview transforms in force at call i of the frame, from its start:
// what each push saved comes back with its pop.
const GL_PROJECTION = 0x1701;
const TRANSFORMS = ['glTranslatef', 'glRotatef', 'glScalef'];

export function chainTo(calls, i) {
  let chain = [];
  const saved = [];
  let projection = false;
  for (const call of calls.slice(0, i)) {
    if (call.name === 'glMatrixMode') projection = call.args[0] === GL_PROJECTION;
    else if (projection) continue;
    else if (call.name === 'glPushMatrix') saved.push(chain);
    else if (call.name === 'glPopMatrix') chain = saved.pop() ?? chain;
    else if (call.name === 'glLoadIdentity') chain = [call];
    else if (TRANSFORMS.includes(call.name)) chain = [...chain, call];
  }
  return chain;
}
