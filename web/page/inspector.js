// The frame inspector: how the program draws one frame. Opened, it pauses the
// walk and has the program's platform layer record each frame it draws
// (Module._walkerInspect): every call in order, with the modelview matrix
// after it and, for each shape, its colour and box on the canvas. It shows the
// calls as the tree the matrix stack makes of them, names the walker's parts
// from where in that tree the program draws them, builds the frame up shape
// by shape in the painter's order (the recorded frame drawn again up to a
// shape: Module._walkerShowRecordedFrame), and shows a chosen shape in its own
// colours, every other dimmed, with the transforms that place it. A click on
// the canvas chooses the shape drawn last there (Module._walkerShapeAt).
'use strict';
window.walkerInspector = (() => {
  const toggle = document.getElementById('inspector-toggle');
  const panel = document.getElementById('inspector');
  const heading = document.getElementById('inspector-heading');
  const walkStatus = document.getElementById('inspector-walk');
  const slider = document.getElementById('inspector-order');
  const orderText = document.getElementById('inspector-order-text');
  const chosen = document.getElementById('inspector-selected');
  const treeList = document.getElementById('inspector-tree');
  const outline = document.getElementById('inspector-outline');
  const canvas = document.getElementById('canvas');
  // While the walker walks, a new frame comes at every display refresh: the
  // tree is built again at most this often then, as the readout is.
  const WALKING_TREE_MS = 500;
  const GL_COLOR_BUFFER_BIT = 0x4000;
  const GL_PROJECTION = 0x1701;
  const LEG_PARTS = ['hip ball', 'thigh', 'knee ball', 'shin', 'ankle', 'foot'];
  const PAIRS = ['front pair', 'rear pair'];
  const COLOUR_NAMES = {
    '0,0,0': 'black', '1,0,0': 'red', '0,1,0': 'green', '0,0,1': 'blue',
    '0,1,1': 'cyan', '1,0,1': 'magenta', '1,1,0': 'yellow', '1,1,1': 'white',
  };

  let open = false;
  let frame = null;  // the last recorded frame, as read
  let shown = null;  // shapes drawn; null: all of them
  let selected = -1;  // the chosen shape's place in the painter's order
  let collapsed = new Set();  // pushes whose levels are folded, by call
  let builtAt = -Infinity;
  let taken = 0;  // frames read since the panel was opened
  let readTimer = 0;

  // Numbers as a person writes them: a few digits, a real minus sign.
  const num = (value) => String(Math.abs(value) < 5e-7 ? 0 : Number(value.toPrecision(4))).replace('-', '−');
  const triple = ([x, y, z]) => `(${num(x)}, ${num(y)}, ${num(z)})`;
  const colourName = (rgb) => COLOUR_NAMES[rgb.map(num).join()] ?? triple(rgb);
  const clearedBuffers = (mask) => (mask & GL_COLOR_BUFFER_BIT ? 'the colour buffer' : `buffers ${mask}`);

  // Each call as the program made it, in words.
  const WORDS = {
    glClear: ([mask]) => `clear ${clearedBuffers(mask)}`,
    glMatrixMode: ([mode]) => `matrix mode ${mode === GL_PROJECTION ? 'projection' : 'modelview'}`,
    glLoadIdentity: () => 'load the identity',
    glPushMatrix: () => 'push',
    glPopMatrix: () => 'pop',
    glTranslatef: (args) => `translate ${triple(args)}`,
    glRotatef: ([angle, ...axis]) => `rotate ${num(angle)}° about ${triple(axis)}`,
    glScalef: (args) => `scale ${triple(args)}`,
    glColor3f: (rgb) => `colour ${colourName(rgb)}`,
    gluPerspective: ([fovy, aspect, near, far]) =>
      `perspective ${num(fovy)}° high, aspect ${num(aspect)}, near ${num(near)}, far ${num(far)}`,
    glutSolidCube: ([size]) => `solid cube ${num(size)}`,
    glutWireCube: ([size]) => `wire cube ${num(size)}`,
    glutSolidSphere: ([radius, slices, stacks]) => `solid sphere ${num(radius)}, ${slices} slices, ${stacks} stacks`,
    glutWireSphere: ([radius, slices, stacks]) => `wire sphere ${num(radius)}, ${slices} slices, ${stacks} stacks`,
  };
  const words = (call) => WORDS[call.name]?.(call.args) ?? call.name;
  const code = (call) => `${call.name}(${call.args.map((a) => Number(a.toPrecision(6))).join(', ')})`;

  const matrixOf = (i) => Array.from({ length: 16 }, (_, k) => Module._walkerRecordedMatrix(i, k));

  // The last recorded frame, through the recorder's accessors; null until one is.
  const read = () => {
    const count = Module._walkerRecordedCalls();
    if (count < 0) return null;
    const calls = Array.from({ length: count }, (_, i) => {
      const call = {
        index: i,
        name: Module.UTF8ToString(Module._walkerRecordedName(i)),
        args: Array.from({ length: Module._walkerRecordedArgCount(i) }, (_, k) => Module._walkerRecordedArg(i, k)),
        depth: Module._walkerRecordedDepth(i),
        modelview: matrixOf(i),
        shape: Module._walkerRecordedShape(i),
      };
      if (call.shape >= 0) {
        call.colour = [0, 1, 2].map((k) => Module._walkerRecordedColour(i, k));
        call.box = Module._walkerRecordedVisible(i) ? [0, 1, 2, 3].map((k) => Module._walkerRecordedBox(i, k)) : null;
      }
      return call;
    });
    return {
      calls,
      shapes: Module._walkerRecordedShapes(),
      truncated: Module._walkerRecordedTruncated() === 1,
      start: matrixOf(-1),
      startDepth: Module._walkerRecordedDepth(-1),
    };
  };

  // The calls as the matrix stack nests them: each push opens a level that
  // its pop closes. A pop with nothing pushed stays a line of its own.
  const nest = (calls) => {
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
  };

  const shapesIn = (node) => (node.children ? node.children.flatMap(shapesIn) : node.shape >= 0 ? [node] : []);
  const levelsIn = (node) => node.children.filter((child) => child.children && shapesIn(child).length > 0);

  // A leg: the innermost level holding one shape for each of its parts.
  const legsIn = (level) => levelsIn(level).flatMap((inner) => {
    const deeper = legsIn(inner);
    return deeper.length > 0 || shapesIn(inner).length !== LEG_PARTS.length ? deeper : [inner];
  });

  // The walker's parts, named from where the program draws them rather than
  // from a list of its shapes. The walker is the level that spreads its
  // shapes over levels of their own (the frame's own pushes lead down to it).
  // The first of those is the turret: its block, drawn in it, and its
  // barrel, the level inside: cubes, then the beam, which a scale stretches.
  // Then the leg pairs, front and rear, in order, each holding two legs,
  // leg 0 and leg 1, each drawn part after part; a pair's one other shape is
  // the hip block. Where the tree does not have that shape, nothing is named.
  const nameParts = (root) => {
    const names = new Map();
    let walker = root;
    for (let inner = levelsIn(walker); inner.length === 1 && !walker.children.some((c) => c.shape >= 0);
      inner = levelsIn(walker)) [walker] = inner;
    const [turret, ...pairs] = levelsIn(walker);
    if (!turret) return names;
    const blocks = turret.children.filter((c) => c.shape >= 0);
    if (blocks.length === 1) names.set(blocks[0].shape, 'turret');
    const [barrel] = levelsIn(turret);
    if (barrel) {
      let scaled = false;
      let cubes = 0;
      for (const call of barrel.children) {
        scaled ||= call.name === 'glScalef';
        if (call.shape >= 0) names.set(call.shape, scaled ? 'beam' : `barrel cube ${++cubes}`);
      }
    }
    if (pairs.length !== PAIRS.length) return names;
    pairs.forEach((pair, p) => {
      const legs = legsIn(pair);
      if (legs.length !== 2) return;
      legs.forEach((leg, l) => shapesIn(leg).forEach((shape, k) => names.set(shape.shape, `${PAIRS[p]}, leg ${l}: ${LEG_PARTS[k]}`)));
      const others = shapesIn(pair).filter((shape) => !names.has(shape.shape));
      if (others.length === 1) names.set(others[0].shape, 'hip block');
    });
    return names;
  };

  let names = new Map();
  const shapeCalls = () => frame.calls.filter((call) => call.shape >= 0);
  const shapeName = (shape) => names.get(shape) ?? `shape ${shape + 1}`;
  const shownCount = () => shown ?? frame.shapes;

  // The modelview transforms in force at call i, from the frame's start:
  // what each push saved comes back with its pop.
  const chainTo = (i) => {
    let chain = [];
    const saved = [];
    let projection = false;
    for (const call of frame.calls.slice(0, i)) {
      if (call.name === 'glMatrixMode') projection = call.args[0] === GL_PROJECTION;
      else if (projection) continue;
      else if (call.name === 'glPushMatrix') saved.push(chain);
      else if (call.name === 'glPopMatrix') chain = saved.pop() ?? chain;
      else if (call.name === 'glLoadIdentity') chain = [call];
      else if (['glTranslatef', 'glRotatef', 'glScalef'].includes(call.name)) chain = [...chain, call];
    }
    return chain;
  };

  const element = (tag, text, className) => {
    const e = document.createElement(tag);
    if (text !== undefined) e.textContent = text;
    if (className) e.className = className;
    return e;
  };

  // Rows of a column-major 4 x 4 matrix.
  const matrixTable = (m) => {
    const table = element('table');
    for (let r = 0; r < 4; r++) {
      const row = table.insertRow();
      for (let c = 0; c < 4; c++) row.insertCell().textContent = num(m[c * 4 + r]);
    }
    return table;
  };

  const step = (text, call, matrix) => {
    const item = element('li', text);
    if (call) item.append(' ', element('code', code(call)));
    item.append(matrixTable(matrix));
    return item;
  };

  // The chosen shape: its call, its box, and the chain from the eye to it.
  const showChosen = () => {
    const call = shapeCalls()[selected];
    chosen.hidden = !call;
    outline.hidden = !call?.box;
    if (!call) return;
    document.getElementById('inspector-selected-heading').textContent = `${shapeName(selected)}: ${words(call)}, colour ${colourName(call.colour)}`;
    const [left, top, right, bottom] = call.box ?? [];
    document.getElementById('inspector-box').textContent = call.box
      ? `Its box on the canvas: pixels ${left} to ${right - 1} across, ${top} to ${bottom - 1} down ` +
        `(${right - left} × ${bottom - top} of ${canvas.width} × ${canvas.height}).`
      : 'Nothing of it lies on the canvas.';
    const list = document.getElementById('inspector-chain');
    const start = frame.start;
    const translated = [0, 1, 2, 4, 5, 6, 8, 9, 10].every((k) => start[k] === (k % 5 === 0 ? 1 : 0));
    list.replaceChildren(step(translated
      ? `translate ${triple(start.slice(12, 15))}, as reshape left the modelview for every frame`
      : 'the modelview as the frame found it', null, start));
    for (const transform of chainTo(call.index)) list.append(step(words(transform), transform, transform.modelview));
    list.append(step(`then the ${words(call)} itself, drawn through the matrix above`, call, call.modelview));
    if (call.box) {
      const scale = canvas.getBoundingClientRect().width / canvas.width;
      Object.assign(outline.style, {
        left: `${left * scale}px`, top: `${top * scale}px`,
        width: `${(right - left) * scale}px`, height: `${(bottom - top) * scale}px`,
      });
    }
  };

  // The slider's place, and the tree's line of the last shape drawn.
  const showOrder = () => {
    const n = shownCount();
    slider.max = String(frame.shapes);
    slider.value = String(n);
    const last = n > 0 ? `; the last drawn: ${shapeName(n - 1)}` : '';
    orderText.value = `${n} of ${frame.shapes} shapes${last}`;
    slider.setAttribute('aria-valuetext', orderText.value);
    for (const line of treeList.querySelectorAll('.current')) line.classList.remove('current');
    for (const line of treeList.querySelectorAll('[aria-current]')) line.removeAttribute('aria-current');
    const line = treeList.querySelector(`[data-shape="${n - 1}"]`);
    if (!line) return;
    line.parentElement.classList.add('current');
    line.setAttribute('aria-current', 'step');
    // Into the tree's own view, without scrolling the page.
    const box = line.closest('.tree');
    const [lineRect, boxRect] = [line.getBoundingClientRect(), box.getBoundingClientRect()];
    if (lineRect.top < boxRect.top || lineRect.bottom > boxRect.bottom) {
      box.scrollTop += lineRect.top - boxRect.top - box.clientHeight / 2;
    }
  };

  const line = (call, tag = 'li') => {
    const item = element(tag);
    if (call.shape >= 0) {
      const button = element('button');
      button.type = 'button';
      button.dataset.shape = String(call.shape);
      button.setAttribute('aria-pressed', String(call.shape === selected));
      const swatch = element('span', undefined, 'swatch');
      swatch.style.background = `rgb(${call.colour.map((c) => Math.round(c * 255)).join()})`;
      button.append(swatch, `${words(call)}: ${shapeName(call.shape)}`);
      item.append(button, ' ', element('code', code(call)));
    } else {
      item.append(element('span', words(call)), ' ', element('code', code(call)));
    }
    return item;
  };

  const level = (node) => {
    const list = element('ul');
    for (const child of node.children) {
      if (!child.children) {
        list.append(line(child));
        continue;
      }
      const item = element('li');
      const shapes = shapesIn(child).length;
      const button = element('button', `push: ${shapes} ${shapes === 1 ? 'shape' : 'shapes'}`);
      button.type = 'button';
      button.dataset.push = String(child.push.index);
      const folded = collapsed.has(child.push.index);
      button.setAttribute('aria-expanded', String(!folded));
      const inner = level(child);
      inner.hidden = folded;
      item.append(button, ' ', element('code', code(child.push)), inner);
      item.append(child.pop ? line(child.pop, 'div') : element('div', 'never popped'));
      list.append(item);
    }
    return list;
  };

  const buildTree = (root) => {
    builtAt = performance.now();
    treeList.replaceChildren(...level(root).children);
    if (frame.truncated) treeList.append(element('li', `… and more calls than the recorder keeps (${frame.calls.length})`));
    showOrder();
    showChosen();
  };

  const showWalk = () => {
    walkStatus.textContent = Module.walkerWalking()
      ? 'Walking: each frame is recorded, and this list follows twice a second. Any unbound key, such as p, pauses.'
      : 'The walk is paused while you look: s steps it, and S resumes it.';
  };

  // The recorded frame drawn again as the panel shows it.
  const redraw = () => {
    Module._walkerShowRecordedFrame(shown ?? -1, selected);
    showOrder();
    showChosen();
  };

  const select = (shape) => {
    selected = shape;
    for (const button of treeList.querySelectorAll('[data-shape]')) {
      button.setAttribute('aria-pressed', String(Number(button.dataset.shape) === selected));
    }
    redraw();
  };

  const showUpTo = (n) => {
    shown = n >= frame.shapes ? null : Math.max(0, n);
    redraw();
  };

  // The last recorded frame read and shown: the same part stays chosen (by
  // its name, should the beam have come or gone); the slider keeps its place
  // while the number of shapes stays the same.
  const take = () => {
    readTimer = 0;
    const before = frame;
    const chosenName = before && selected >= 0 ? names.get(selected) : undefined;
    frame = read();
    if (!frame) return;
    taken++;
    collapsed = before ? collapsed : new Set();
    const root = nest(frame.calls);
    names = nameParts(root);
    if (before && before.shapes !== frame.shapes) {
      shown = null;
      selected = chosenName ? ([...names].find(([, name]) => name === chosenName)?.[0] ?? -1) : -1;
      Module._walkerShowRecordedFrame(-1, selected);
    }
    showWalk();
    buildTree(root);
  };

  // While walking, the frames that come between two readings are not read.
  const frameRecorded = () => {
    const wait = Module.walkerWalking() ? builtAt + WALKING_TREE_MS - performance.now() : 0;
    if (wait <= 0) {
      clearTimeout(readTimer);
      take();
    } else if (!readTimer) {
      readTimer = setTimeout(take, wait);
    }
  };

  const setOpen = (now) => {
    if (now === open || !window.Module?.calledRun) return;
    open = now;
    panel.hidden = !open;
    toggle.setAttribute('aria-expanded', String(open));
    if (open) {
      frame = null;
      taken = 0;
      shown = null;
      selected = -1;
      Module.walkerKey('p');  // a key the program does not bind: the walk pauses
      walkStatus.textContent = 'Recording the next frame…';
      Module._walkerInspect(1);
      heading.focus();
    } else {
      clearTimeout(readTimer);
      readTimer = 0;
      Module._walkerInspect(0);
      outline.hidden = true;
      toggle.focus();
    }
  };

  toggle.addEventListener('click', () => setOpen(!open));
  document.getElementById('inspector-close').addEventListener('click', () => setOpen(false));
  slider.addEventListener('input', () => showUpTo(Number(slider.value)));
  document.getElementById('inspector-previous').addEventListener('click', () => showUpTo(shownCount() - 1));
  document.getElementById('inspector-next').addEventListener('click', () => showUpTo(shownCount() + 1));
  panel.addEventListener('keydown', (event) => {
    if (!frame || event.ctrlKey || event.altKey || event.metaKey) return;
    if (event.key === '[' || event.key === ']') {
      showUpTo(shownCount() + (event.key === ']' ? 1 : -1));
      event.preventDefault();
    }
  });
  treeList.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    if (button.dataset.shape !== undefined) {
      const shape = Number(button.dataset.shape);
      select(shape === selected ? -1 : shape);  // pressed again, it lets go
      return;
    }
    const index = Number(button.dataset.push);
    const folded = !collapsed.has(index);
    if (folded) collapsed.add(index);
    else collapsed.delete(index);
    button.setAttribute('aria-expanded', String(!folded));
    button.parentElement.querySelector('ul').hidden = folded;
  });
  // The shape seen where the canvas is clicked; the background chooses none.
  canvas.addEventListener('click', (event) => {
    if (!open || !frame) return;
    const rect = canvas.getBoundingClientRect();
    const x = Math.floor((event.clientX - rect.left) * canvas.width / rect.width);
    const y = Math.floor((event.clientY - rect.top) * canvas.height / rect.height);
    select(Module._walkerShapeAt(x, y, shown ?? -1));
  });
  window.addEventListener('resize', () => {
    if (open && frame) showChosen();
  });

  return {
    // Every change of the program's state: a pause or a resume shows here too.
    changed: () => {
      if (open && frame) showWalk();
    },
    // Each frame recorded while the panel is open, at the end of the
    // program's display: read once that display has returned.
    recorded: () => {
      if (open) queueMicrotask(frameRecorded);
    },
    // For the tests: the frame as read, the names the tree gives its shapes,
    // and how many frames have been read since the panel was opened.
    frame: () => frame && { ...frame, names: Object.fromEntries(names), taken },
  };
})();
