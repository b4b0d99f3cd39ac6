// The frame inspector's panel: how the program draws one frame. Opened, it
// pauses the walk and has the recorder keep each frame the program draws
// (Module._walkerInspect); it lists the frame's calls as the tree the matrix
// stack makes of them, named by part, builds the frame up shape by shape in
// the painter's order (the recorded frame drawn again up to a shape), and
// shows a chosen shape in its own colours, every other dimmed, with the
// transforms that place it and the later shapes that cover it. The tree
// follows the WAI-ARIA tree pattern; a new frame updates it in place, so its
// scroll, folds and focus stay where they were. Beside it, the program's
// source (src/, fetched when the panel is first opened) with the chain of
// routines that made the current line of the tree marked; a line of the
// source chosen marks the calls it led to.
import { axesOf, isTransform, onCanvas, stackAt, transformsAt } from './chain.js';
import { nameParts } from './parts.js';
import { readFormat, readRecord } from './record.js';
import { chainLines, chainText, ledBy, madeIn, sourceFiles } from './source.js';
import { isLevel, nest, shapesIn } from './tree.js';
import { code, colourName, num, rowsOf, triple, wordsFor } from './words.js';

const $ = (id) => document.getElementById(id);
const [section, toggle, heading, walkStatus, slider, orderText, chosen, tree, outline, canvas, screen] =
  ['inspector', 'inspector-toggle', 'inspector-heading', 'inspector-walk', 'inspector-order', 'inspector-order-text',
    'inspector-selected', 'inspector-tree', 'inspector-outline', 'canvas', 'screen'].map($);
// While the walker walks, a new frame comes at every display refresh: the
// tree is brought up to date at most this often then, as the readout is.
const WALKING_TREE_MS = 500;

const format = readFormat(Module.UTF8ToString(Module._walkerRecordFormat()));
const words = wordsFor(format.calls);

let open = false;
let wasWalking = false;  // when the panel was opened
let frame = null;  // the last recorded frame, as read
let names = { shapes: new Map(), levels: new Map() };
let shape = null;  // by place in the painter's order: its call
let shown = null;  // shapes drawn; null: all of them
let selected = -1;  // the chosen shape's place in the painter's order
const folded = new Set();  // levels folded, by their part's key
let structure = '';  // the calls' names in order, as the tree was built for
let builtAt = -Infinity;
let taken = 0;  // frames read since the panel was opened
let readTimer = 0;
let lines = new Map();  // a call's index → its line's words and code, as built
let canvasWidth = 0;  // the canvas's width on the page, as last laid out
const sources = new Map();  // a file of src/ → its lines, once fetched
let sourcesLoading = null;
let current = -1;  // the index of the call the source shows the chain of
let sourceFile = null;  // the file the source shows
let chosenLine = null;  // { file, line } chosen in the source
let placing = [];  // the chosen shape's chain in force: { call, matrix, item } from the eye to the shape
let stepShown = null;  // the step of placing whose axes the canvas shows; null: none
// What-if edits of the recorded frame, as plain data: { call, argument, value }
// and { swap: [call, call] }, in the order made.
let edits = [];
let wanted = null;  // a view asked for (a link's): shown once a frame is read

const element = (tag, text, className) => {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  if (className) e.className = className;
  return e;
};

const shapeName = (n) => names.shapes.get(n) ?? `shape ${n + 1}`;
const shownCount = () => shown ?? frame.shapes;
const shapeCalls = () => frame.calls.filter((c) => c.shape >= 0);

// The last recorded frame, read from the one packed buffer; null until one is.
const read = () => {
  const at = Module._walkerRecord();
  if (!at) return null;
  const length = Module.HEAPF64[at / 8];
  return readRecord(format, Module.HEAPF64.subarray(at / 8, at / 8 + length));
};

// A 4 x 4 column-major matrix as a table a screen reader can walk: rows and
// columns headed.
const matrixTable = (m, caption) => {
  const table = element('table', undefined, 'matrix');
  table.createCaption().textContent = caption;
  const head = table.createTHead().insertRow();
  head.append(element('td'));
  for (let c = 0; c < 4; c++) Object.assign(head.appendChild(element('th', `column ${c + 1}`)), { scope: 'col' });
  const body = table.createTBody();
  rowsOf(m).forEach((values, r) => {
    const row = body.insertRow();
    Object.assign(row.appendChild(element('th', `row ${r + 1}`)), { scope: 'row' });
    for (const value of values) row.insertCell().textContent = num(value);
  });
  return table;
};

// Tree lines: each call a treeitem, each push level one with a group of its
// own; a line's key names it by part, so that the same line is found again
// in the next frame, the beam come or gone.
const lineText = (call) => (call.shape >= 0
  ? `${words(call)}: ${shapeName(call.shape)}, ${colourName(call.colour)}`
  : words(call));

const treeItem = (key, level) => {
  const item = element('li');
  item.tabIndex = -1;
  item.setAttribute('role', 'treeitem');
  item.setAttribute('aria-level', String(level));
  item.dataset.key = key;
  return item;
};

const lineOf = (item, call, text) => {
  const line = element('span', undefined, 'line');
  line.id = `inspector-line-${call.index}`;
  item.dataset.call = String(call.index);
  if (call.shape >= 0) {
    const swatch = element('span', undefined, 'swatch');
    swatch.setAttribute('aria-hidden', 'true');
    swatch.style.background = `rgb(${call.colour.map((c) => Math.round(c * 255)).join()})`;
    line.append(swatch);
  }
  const [words, source] = [element('span', text, 'words'), element('code', code(call))];
  line.append(words, ' ', source);
  item.prepend(line);
  lines.set(call.index, { words, source });
  return line;
};

const build = (node, level, path) => {
  const list = [];
  const seen = new Map();
  const unique = (key) => {
    const n = (seen.get(key) ?? 0) + 1;
    seen.set(key, n);
    return n === 1 ? key : `${key} #${n}`;
  };
  for (const child of node.children) {
    if (!isLevel(child)) {
      const key = unique(child.shape >= 0 ? `${shapeName(child.shape)}` : `${path}/${child.name}`);
      const item = treeItem(key, level);
      lineOf(item, child, lineText(child));
      if (child.shape >= 0) {
        item.dataset.shape = String(child.shape);
        item.setAttribute('aria-selected', String(child.shape === selected));
      }
      list.push(item);
      continue;
    }
    const part = names.levels.get(child.push.index);
    const count = shapesIn(child).length;
    const routine = madeIn(child.push);
    const by = routine ? `, in ${routine}` : '';
    const label = part ? `${part}: push${by}` : `push${by} (${count} ${count === 1 ? 'shape' : 'shapes'})`;
    const key = unique(`${path}/${part ?? 'level'}`);
    const item = treeItem(key, level);
    lineOf(item, child.push, label);
    item.dataset.level = key;
    const group = element('ul');
    group.setAttribute('role', 'group');
    group.append(...build(child, level + 1, key));
    const popKey = `${key}/pop`;
    const pop = treeItem(popKey, level + 1);
    if (child.pop) {
      lineOf(pop, child.pop, part ? `pop: back out of ${part}` : 'pop');
    } else {
      pop.append(element('span', 'never popped', 'line'));
    }
    group.append(pop);
    const isFolded = folded.has(key);
    item.setAttribute('aria-expanded', String(!isFolded));
    group.hidden = isFolded;
    item.append(group);
    list.push(item);
  }
  return list;
};

const items = () => [...tree.querySelectorAll('[role=treeitem]')];
const visibleItems = () => items().filter((item) => !item.parentElement.closest('[role=group][hidden]'));
const focusedItem = () => (tree.contains(document.activeElement) ? document.activeElement.closest('[role=treeitem]') : null);

// One Tab stop into the tree: the line last moved to, whose call's chain
// the source shows, and follows to its file and line unless told not to.
const rove = (item, follow = true) => {
  for (const other of tree.querySelectorAll('[role=treeitem][tabindex="0"]')) other.tabIndex = -1;
  if (item) item.tabIndex = 0;
  const index = item?.dataset.call === undefined ? -1 : Number(item.dataset.call);
  if (index !== current) {
    current = index;
    showSource(follow);
  }
};

const moveTo = (item) => {
  if (!item) return;
  rove(item);
  item.focus({ preventScroll: true });
  moveIntoView(item);
};

// Into the tree's own view, without scrolling the page.
const moveIntoView = (item) => {
  const box = tree.parentElement;
  const [line, view] = [item.querySelector('.line').getBoundingClientRect(), box.getBoundingClientRect()];
  if (line.top < view.top) box.scrollTop -= view.top - line.top;
  else if (line.bottom > view.bottom) box.scrollTop += line.bottom - view.bottom;
};

// The whole tree again, for a frame of other calls: folds by part, the
// focused line by its key and the list's scroll are kept.
const rebuild = () => {
  const box = tree.parentElement;
  const [scroll, focusKey, roveKey] = [box.scrollTop, focusedItem()?.dataset.key,
    tree.querySelector('[tabindex="0"]')?.dataset.key];
  lines = new Map();
  tree.replaceChildren(...build(nest(frame.calls), 1, ''));
  if (frame.truncated) tree.append(element('li', `… and more calls than the recorder keeps (${frame.calls.length})`));
  const find = (key) => key && tree.querySelector(`[data-key="${CSS.escape(key)}"]`);
  current = -1;
  rove(find(roveKey) || items()[0]);
  if (focusKey) find(focusKey)?.focus({ preventScroll: true });
  box.scrollTop = scroll;
};

// Text set only where it changed, so that a new frame lays out and paints
// only what moved.
const setText = (node, text) => {
  if (node.textContent !== text) node.textContent = text;
};

const sameNumbers = (a, b) => a === b || (a?.length === b?.length && a.every((value, k) => value === b[k]));

// The same calls as the tree shows, the frame before them: only the words
// of calls whose arguments or colour changed.
const update = (before) => {
  for (const call of frame.calls) {
    const line = lines.get(call.index);
    const was = before.calls[call.index];
    if (!line || call.name === 'glPushMatrix' || call.name === 'glPopMatrix' ||
      (sameNumbers(call.args, was.args) && sameNumbers(call.colour, was.colour))) continue;
    setText(line.words, lineText(call));
    setText(line.source, code(call));
  }
};

// The slider's place, and the tree's line of the last shape drawn.
const showOrder = (reveal) => {
  const n = shownCount();
  if (slider.max !== String(frame.shapes)) slider.max = String(frame.shapes);
  if (slider.value !== String(n)) slider.value = String(n);
  const last = n > 0 ? `; the last drawn: ${shapeName(n - 1)}` : '';
  setText(orderText, `${n} of ${frame.shapes} shapes${last}`);
  const valueText = n > 0 ? `${n} of ${frame.shapes}: ${shapeName(n - 1)}` : `none of ${frame.shapes}`;
  if (slider.getAttribute('aria-valuetext') !== valueText) slider.setAttribute('aria-valuetext', valueText);
  const item = tree.querySelector(`[data-shape="${n - 1}"]`);
  for (const other of tree.querySelectorAll('[aria-current]')) {
    if (other === item) continue;
    other.removeAttribute('aria-current');
    other.classList.remove('current');
  }
  if (!item) return;
  if (!item.classList.contains('current')) {
    item.setAttribute('aria-current', 'step');
    item.classList.add('current');
  }
  if (reveal) {
    const box = tree.parentElement;
    const [line, view] = [item.querySelector('.line').getBoundingClientRect(), box.getBoundingClientRect()];
    if (line.top < view.top || line.bottom > view.bottom) box.scrollTop += line.top - view.top - box.clientHeight / 2;
  }
};

// A step of the chain: its words, its call and the matrix it leaves; drawn
// again in place while the chain has the same steps, as it has frame after
// frame of a walk.
const step = (text, call, matrix) => {
  const item = element('li');
  item.append(element('span', text), ' ', element('code', call ? code(call) : ''), matrixTable(matrix, ''));
  // For the mouse: the keyboard steps with next and previous transform.
  const show = element('button', 'Show on the canvas');
  Object.assign(show, { type: 'button', tabIndex: -1 });
  item.append(show);
  return item;
};

// A pop by where it is and what it closes.
const popText = (pop) => {
  const push = pushOf(pop);
  const part = push && names.levels.get(push.index);
  return `the pop at call ${pop.index + 1}${part ? ` (back out of ${part})` : ''}`;
};
const pushOf = (pop) => frame.calls.slice(0, pop.index).findLast((c) => c.name === 'glPushMatrix' && c.depth === pop.depth + 1);

let chainShown = [];  // the chain's steps as last shown: [words, call, matrix]
const sameCall = (a, b) => a === b || (a?.name === b?.name && sameNumbers(a?.args, b?.args));

const showStep = (item, text, call, matrix, kind) => {
  const [words, source, table, show] = item.children;
  item.className = kind;
  table.hidden = kind === 'discarded';
  show.hidden = kind === 'discarded';
  if (call) item.dataset.call = String(call.index);
  else delete item.dataset.call;
  setText(words, text);
  setText(source, call ? code(call) : '');
  setText(table.caption, `The modelview matrix after: ${text}`);
  const cells = table.tBodies[0].rows;
  rowsOf(matrix).forEach((values, r) => values.forEach((value, c) => setText(cells[r].cells[c + 1], num(value))));
};

const showChain = (steps) => {
  const list = $('inspector-chain');
  if (list.children.length !== steps.length) {
    list.replaceChildren(...steps.map(() => step('', null, frame.start)));
    chainShown = [];
  }
  // A step's words follow from its call, or from its matrix where it has none.
  steps.forEach(([say, call, matrix, kind = ''], k) => {
    const [, wasCall, wasMatrix, wasKind = ''] = chainShown[k] ?? [];
    if (chainShown[k] && sameCall(call, wasCall) && sameNumbers(matrix, wasMatrix) && kind === wasKind) return;
    showStep(list.children[k], say(), call, matrix, kind);
  });
  chainShown = steps;
  markStep();
};

// The chosen step of the chain: the one whose axes the canvas shows.
const markStep = () => {
  const chosen = stepShown === null ? null : placing[stepShown]?.item;
  for (const item of $('inspector-chain').children) {
    item.classList.toggle('chosen', item === chosen);
    if (item === chosen) item.setAttribute('aria-current', 'step');
    else item.removeAttribute('aria-current');
  }
};

// The chosen shape: its call, its box, what covers it, and the chain from the eye to it.
const showChosen = () => {
  const call = shape;
  chosen.hidden = !call;
  $('inspector-teach').hidden = !call;
  outline.hidden = !call?.box;
  if (!call) {
    placing = [];
    axesCanvas.hidden = true;
    return;
  }
  setText($('inspector-selected-heading'), `${shapeName(selected)}: ${words(call)}, ${colourName(call.colour)}`);
  const [left, top, right, bottom] = call.box ?? [];
  setText($('inspector-box'), call.box
    ? `Its box on the canvas: pixels ${left} to ${right - 1} across, ${top} to ${bottom - 1} down ` +
      `(${right - left} × ${bottom - top} of ${canvas.width} × ${canvas.height}).`
    : 'Nothing of it lies on the canvas.');
  setText($('inspector-covered'), coveredText(call));
  const start = frame.start;
  const translated = [0, 1, 2, 4, 5, 6, 8, 9, 10].every((k) => start[k] === (k % 5 === 0 ? 1 : 0));
  // The chain in the order of the calls, with what pops threw away on the
  // way struck out where it was made.
  const { chain, discarded, kept } = transformsAt(frame.calls, call.index);
  const steps = [
    ...chain.map((t) => [() => (kept.has(t.index)
      ? `${words(t)}; kept: still in force after ${popText(kept.get(t.index))}`
      : words(t)), t, t.modelview, kept.has(t.index) ? 'kept' : '']),
    ...discarded.map(({ transform: t, pop }) => [() => `${words(t)}; thrown away by ${popText(pop)}`, t, t.modelview, 'discarded']),
  ].sort((a, b) => a[1].index - b[1].index);
  const all = [
    [() => (translated
      ? `translate ${triple(start.slice(12, 15))}, as reshape left the modelview for every frame`
      : 'the modelview as the frame found it'), null, start],
    ...steps,
  ];
  showChain(all);
  const items = [...$('inspector-chain').children];
  placing = all.map(([, c, matrix, kind], k) => ({ call: c, matrix, item: items[k], kind }))
    .filter((s) => s.kind !== 'discarded');
  showStepAt();
  showEdits();
  if (call.box) {
    const scale = (canvasWidth || canvas.getBoundingClientRect().width) / canvas.width;
    Object.assign(outline.style, {
      left: `${left * scale}px`, top: `${top * scale}px`,
      width: `${(right - left) * scale}px`, height: `${(bottom - top) * scale}px`,
    });
  }
};

// The axes a step of the chain has set up, and the part as the chain up to
// there would place it, drawn over the canvas: black and white dashes and
// letters, which no part of the walker has; the origin an orange square.
const axesCanvas = $('inspector-axes');
const AXIS_LENGTH = 0.4;
const SPHERE_RINGS = 24;

const showStepAt = () => {
  for (const s of placing) s.item.classList.remove('step-chosen');
  const at = stepShown === null ? null : placing[Math.min(stepShown, placing.length - 1)];
  axesCanvas.hidden = !at || !frame.projection;
  setText($('inspector-step-text'), at
    ? `Step ${placing.indexOf(at) + 1} of ${placing.length}: ${at.call ? words(at.call) : 'the frame\'s start'}.`
    : '');
  if (axesCanvas.hidden) return;
  at.item.classList.add('step-chosen');
  Object.assign(axesCanvas, { width: canvas.width, height: canvas.height });
  axesCanvas.style.width = `${canvasWidth || canvas.getBoundingClientRect().width}px`;
  const g = axesCanvas.getContext('2d');
  const path = (points, closed = false) => {
    const seen = points.filter(Boolean);
    if (seen.length < 2) return;
    g.beginPath();
    seen.forEach(([x, y], k) => (k ? g.lineTo(x, y) : g.moveTo(x, y)));
    if (closed) g.closePath();
    g.setLineDash([]);
    g.strokeStyle = '#000';
    g.lineWidth = 4;
    g.stroke();
    g.setLineDash([6, 4]);
    g.strokeStyle = g.fillStyle;
    g.lineWidth = 2;
    g.stroke();
  };
  g.clearRect(0, 0, axesCanvas.width, axesCanvas.height);
  // The part: a cube's edges or a sphere's three rings, in its own colour.
  const m = at.matrix;
  g.fillStyle = `rgb(${shape.colour.map((c) => Math.round(c * 255)).join()})`;
  const size = shape.args[0];
  if (/Cube$/.test(shape.name)) {
    const h = size / 2;
    const corner = (k) => onCanvas(frame, m, [k & 1 ? h : -h, k & 2 ? h : -h, k & 4 ? h : -h]);
    for (const [a, b] of [[0, 1], [2, 3], [4, 5], [6, 7], [0, 2], [1, 3], [4, 6], [5, 7], [0, 4], [1, 5], [2, 6], [3, 7]]) {
      path([corner(a), corner(b)]);
    }
  } else {
    for (const ring of [(c, s) => [c, s, 0], (c, s) => [c, 0, s], (c, s) => [0, c, s]]) {
      path(Array.from({ length: SPHERE_RINGS }, (_, k) => onCanvas(frame, m,
        ring(size * Math.cos(2 * Math.PI * k / SPHERE_RINGS), size * Math.sin(2 * Math.PI * k / SPHERE_RINGS)))), true);
    }
  }
  const { origin, ends } = axesOf(frame, m, AXIS_LENGTH);
  g.fillStyle = '#fff';
  ends.forEach((end, k) => {
    path([origin, end]);
    if (!end) return;
    g.font = 'bold 16px sans-serif';
    g.fillStyle = '#000';
    g.fillRect(end[0] - 8, end[1] - 9, 16, 18);
    g.fillStyle = '#fff';
    g.fillText('xyz'[k], end[0] - 4, end[1] + 5);
  });
  if (origin) {
    g.fillStyle = '#000';
    g.fillRect(Math.round(origin[0]) - 4, Math.round(origin[1]) - 4, 9, 9);
    g.fillStyle = 'rgb(255, 128, 0)';
    g.fillRect(Math.round(origin[0]) - 2, Math.round(origin[1]) - 2, 5, 5);
  }
};

const chooseStep = (k) => {
  stepShown = placing.length === 0 ? null : Math.max(0, Math.min(placing.length - 1, k));
  showStepAt();
  showEdits();
  markStep();
};

// The edits made again in the replay: swaps as the pair they exchange.
const sendEdits = () => {
  const at = Module._walkerWhatIfEdits(edits.length) / 8;
  edits.forEach((e, k) => Module.HEAPF64.set(e.swap ? [e.swap[0], -1, e.swap[1]] : [e.call, e.argument, e.value], at + 3 * k));
  Module._walkerWhatIf();
  showWhatIf();
};
const showWhatIf = () => {
  $('inspector-whatif-badge').hidden = edits.length === 0;
  setText($('inspector-whatif-status'), edits.length === 0 ? 'The frame as the program recorded it.'
    : `${edits.length} ${edits.length === 1 ? 'change' : 'changes'} to this recorded frame, drawn again from the record; ` +
      'the program is unchanged, and Reset brings back its frame.');
};

// The argument fields and swaps for the transform of the step shown.
const ARGUMENT_STEP = { glTranslatef: 0.05, glRotatef: 5, glScalef: 0.1 };
const ARGUMENT_NAMES = { glTranslatef: ['x', 'y', 'z'], glRotatef: ['angle', 'x', 'y', 'z'], glScalef: ['x', 'y', 'z'] };
const valueOf = (call, k) => edits.findLast((e) => e.call === call.index && e.argument === k)?.value ?? call.args[k];
const showEdits = () => {
  const at = stepShown === null ? null : placing[stepShown];
  const call = at?.call && isTransform(at.call) ? at.call : null;
  const box = $('inspector-whatif-args');
  const neighbour = (d) => (call ? placing[stepShown + d]?.call : null);
  $('inspector-swap-previous').disabled = !neighbour(-1) || !isTransform(neighbour(-1));
  $('inspector-swap-next').disabled = !neighbour(1) || !isTransform(neighbour(1));
  $('inspector-whatif-reset').disabled = edits.length === 0;
  if (box.dataset.call === String(call?.index)) return;
  box.dataset.call = String(call?.index);
  box.replaceChildren(...(call ? ARGUMENT_NAMES[call.name].map((name, k) => {
    const label = element('label', `${name} `);
    const input = Object.assign(element('input'), { type: 'number', step: String(k && call.name === 'glRotatef' ? 1 : ARGUMENT_STEP[call.name]), value: String(Number(valueOf(call, k).toPrecision(6))) });
    input.dataset.argument = String(k);
    label.append(input);
    return label;
  }) : [element('span', 'Show a transform of the chain to change it.')]));
};

$('inspector-whatif-args').addEventListener('input', (event) => {
  const k = Number(event.target.dataset.argument);
  const value = Number(event.target.value);
  const call = placing[stepShown]?.call;
  if (!call || !Number.isFinite(value) || event.target.value === '') return;
  edits = [...edits.filter((e) => !(e.call === call.index && e.argument === k)), { call: call.index, argument: k, value }];
  sendEdits();
  showEdits();
});
const swapWith = (d) => {
  const [a, b] = [placing[stepShown]?.call, placing[stepShown + d]?.call];
  if (!a || !b) return;
  edits = [...edits, { swap: [Math.min(a.index, b.index), Math.max(a.index, b.index)] }];
  sendEdits();
  showEdits();
};
$('inspector-swap-previous').addEventListener('click', () => swapWith(-1));
$('inspector-swap-next').addEventListener('click', () => swapWith(1));
const resetEdits = () => {
  edits = [];
  $('inspector-whatif-args').dataset.call = '';
  sendEdits();
  showEdits();
};
$('inspector-whatif-reset').addEventListener('click', resetEdits);
$('inspector-step-previous').addEventListener('click', () => chooseStep((stepShown ?? 1) - 1));
$('inspector-step-next').addEventListener('click', () => chooseStep(stepShown === null ? 0 : stepShown + 1));
$('inspector-chain').addEventListener('click', (event) => {
  const item = event.target.closest('button') && event.target.closest('li');
  const k = placing.findIndex((s) => s.item === item);
  if (k >= 0) chooseStep(k);
});

// The frame drawn again off the canvas, beside the program's own: the
// chosen shape last, or with a depth buffer.
const drawAside = (target, how) => {
  const at = Module._walkerDrawAside(how, selected);
  const [width, height] = [canvas.width, canvas.height];
  Object.assign(target, { width, height });
  const image = new ImageData(width, height);
  const rows = Module.HEAPU8.subarray(at, at + width * height * 4);
  for (let y = 0; y < height; y++) image.data.set(rows.subarray((height - 1 - y) * width * 4, (height - y) * width * 4), y * width * 4);
  for (let p = 3; p < image.data.length; p += 4) image.data[p] = 255;
  target.getContext('2d').putImageData(image, 0, 0);
};
const compare = (how) => {
  if (!shape) return;
  drawAside($('inspector-own'), 0);
  drawAside($('inspector-aside'), how);
  $('inspector-figures').hidden = false;
  setText($('inspector-aside-caption'), how === 1
    ? `Drawn again from the record with ${shapeName(selected)} last: all of it in sight. Not the program's frame.`
    : 'Drawn again from the record with a depth buffer: the nearest shape at each pixel. Not the program\'s frame; the program has none.');
};
$('inspector-last').addEventListener('click', () => compare(1));
$('inspector-depth').addEventListener('click', () => compare(2));

// The later shapes drawn over it, from the recorded triangles: with no depth
// buffer the shape drawn last at a pixel is the one seen there.
const covering = (n) => {
  const at = Module._walkerCovering(n, shown ?? -1) / 8;
  const [pixels, inSight, count] = Module.HEAPF64.subarray(at, at + 3);
  const by = [];
  for (let i = 0; i < count; i++) by.push({ shape: Module.HEAPF64[at + 3 + 2 * i], pixels: Module.HEAPF64[at + 4 + 2 * i] });
  return { pixels, inSight, by };
};

const coveredText = (call) => {
  if (!call.box || call.shape >= shownCount()) return '';
  const { pixels, inSight, by } = covering(call.shape);
  if (by.length === 0) return `Nothing drawn after it covers it: all its ${pixels} pixels are in sight.`;
  const list = by.map((b) => `${shapeName(b.shape)} (${b.pixels} pixels)`).join(', ');
  return `Drawn after it, and so over it: ${list}. ${inSight} of its ${pixels} pixels stay in sight.`;
};

const showWalk = () => {
  setText(walkStatus, Module.walkerWalking()
    ? 'Walking: each frame is recorded, and this list follows twice a second. Any unbound key, such as p, pauses.'
    : 'The walk is paused while you look: s steps it, and S resumes it.');
};

// The source pane: the chain of the current call in words, and its lines
// marked in the file shown, the file of the call itself when it changes.
const sourceList = $('inspector-source-lines');
const fileChooser = $('inspector-source-file');

const loadSources = () => (sourcesLoading ??= (async () => {
  const files = sourceFiles(format.routines);
  fileChooser.replaceChildren(...files.map((file) => Object.assign(element('option', file), { value: file })));
  await Promise.all(files.map(async (file) => {
    const response = await fetch(`src/${file}`);
    sources.set(file, response.ok ? (await response.text()).replace(/\n$/, '').split('\n') : []);
  }));
  showSource(true);
})());

const showFile = (file) => {
  if (file === sourceFile || !sources.has(file)) return;
  sourceFile = file;
  fileChooser.value = file;
  sourceList.replaceChildren(...sources.get(file).map((text, k) => {
    const item = element('li', text);
    Object.assign(item, { tabIndex: k === 0 ? 0 : -1 });
    item.setAttribute('role', 'option');
    item.dataset.line = String(k + 1);
    // Named with its number, which is drawn beside it; a blank line has no other name.
    item.setAttribute('aria-label', `line ${k + 1}: ${text.trim() || 'blank'}`);
    return item;
  }));
};

const lineItem = (line) => sourceList.children[line - 1];

// Into the source's own view, without scrolling the page.
const revealLine = (item) => {
  const box = sourceList.parentElement;
  const [line, view] = [item.getBoundingClientRect(), box.getBoundingClientRect()];
  if (line.top < view.top || line.bottom > view.bottom) box.scrollTop += line.top - view.top - box.clientHeight / 2;
};

// The matrix stack after the current call: each level's matrix, the top first.
const showStack = () => {
  const call = frame.calls[current];
  const list = $('inspector-stack');
  if (!call) {
    list.replaceChildren();
    return;
  }
  const stack = stackAt(frame, current);
  setText($('inspector-stack-text'), `After ${words(call)} (call ${current + 1}), ${stack.length} ` +
    `${stack.length === 1 ? 'level' : 'levels'}: a push copies the top, a pop throws it away and the one below is in force again.`);
  list.replaceChildren(...stack.map((m, k) => {
    const item = element('li', undefined, k === stack.length - 1 ? 'top' : '');
    const push = frame.calls.slice(0, current + 1).findLast((c) => c.name === 'glPushMatrix' && c.depth === k + 1);
    const part = push && names.levels.get(push.index);
    const title = `level ${k + 1}${k === stack.length - 1 ? ', the top: the matrix in force' : ''}${part ? `, ${part}` : ''}`;
    item.append(element('span', title));
    if (m) item.append(matrixTable(m, `The matrix at ${title}`));
    else item.append(' (as before the frame)');
    return item;
  }).reverse());
};

const showSource = (follow = false) => {
  if (!frame) return;
  showStack();
  if (sources.size === 0) return;
  const call = frame.calls[current];
  const chain = call?.chain ?? [];
  setText($('inspector-call-chain'), chain.length > 0
    ? `${words(call)}: ${chainText(chain, call.name)}`
    : call ? `${words(call)}: made by none of the program's routines.` : '');
  if (follow && chain.length > 0) showFile(chain.at(-1).file);
  if (!sourceFile) showFile(fileChooser.value);
  const marked = chainLines(chain, sourceFile);
  for (const item of sourceList.querySelectorAll('.in-chain')) {
    if (!marked.has(Number(item.dataset.line))) item.classList.remove('in-chain');
  }
  for (const line of marked) lineItem(line)?.classList.add('in-chain');
  for (const item of sourceList.querySelectorAll('[aria-selected=true]')) item.setAttribute('aria-selected', 'false');
  if (chosenLine?.file === sourceFile) lineItem(chosenLine.line)?.setAttribute('aria-selected', 'true');
  if (follow && chain.length > 0) {
    const innermost = lineItem(chain.at(-1).line);
    if (innermost) revealLine(innermost);
  }
};

// The calls of this frame that the chosen line led to, marked in the tree.
const markLed = () => {
  const led = chosenLine ? ledBy(frame.calls, chosenLine.file, chosenLine.line) : [];
  const indices = new Set(led.map((c) => String(c.index)));
  for (const item of tree.querySelectorAll('.led')) if (!indices.has(item.dataset.call)) item.classList.remove('led');
  for (const index of indices) tree.querySelector(`[data-call="${index}"]`)?.classList.add('led');
  if (!chosenLine) return led;
  const shapes = led.filter((c) => c.shape >= 0).length;
  setText($('inspector-source-led'), led.length > 0
    ? `Line ${chosenLine.line} of ${chosenLine.file} led to ${led.length} ${led.length === 1 ? 'call' : 'calls'} of this frame ` +
      `(${shapes} ${shapes === 1 ? 'shape' : 'shapes'}), marked in the list; the first is now its current line.`
    : `Line ${chosenLine.line} of ${chosenLine.file} led to no call of this frame.`);
  return led;
};

const chooseLine = (line) => {
  chosenLine = { file: sourceFile, line };
  const [first] = markLed();
  const item = first && tree.querySelector(`[data-call="${first.index}"]`);
  if (item) {
    for (const level of [...ancestors(item)]) if (level.getAttribute('aria-expanded') === 'false') fold(level, false);
    rove(item, false);
    moveIntoView(item);
  }
  showSource();
};

const ancestors = function* (item) {
  for (let up = item.parentElement.closest('[role=treeitem]'); up; up = up.parentElement.closest('[role=treeitem]')) yield up;
};

// The recorded frame drawn again as the panel shows it.
const redraw = (reveal = false) => {
  Module._walkerShowRecordedFrame(shown ?? -1, selected);
  showOrder(reveal);
  showChosen();
};

const select = (n) => {
  if (n !== selected) {
    stepShown = null;
    $('inspector-figures').hidden = true;
  }
  selected = n;
  shape = shapeCalls()[n] ?? null;
  if (shape) rove(tree.querySelector(`[data-shape="${n}"]`));
  for (const item of tree.querySelectorAll(`[aria-selected=true], [data-shape="${n}"]`)) {
    item.setAttribute('aria-selected', String(Number(item.dataset.shape) === selected));
  }
  redraw();
};

const showUpTo = (n) => {
  shown = n >= frame.shapes ? null : Math.max(0, n);
  redraw(true);
};

// The last recorded frame read and shown: the same part stays chosen (by its
// name, should the beam have come or gone); the slider keeps its place while
// the number of shapes stays the same.
const take = () => {
  readTimer = 0;
  const before = frame;
  const chosenName = before && selected >= 0 ? names.shapes.get(selected) : undefined;
  frame = read();
  if (!frame) return;
  taken++;
  builtAt = performance.now();
  const calls = frame.calls.map((c) => c.name).join();
  const same = calls === structure;
  // The names follow from the calls' nesting alone.
  if (!same) names = nameParts(nest(frame.calls));
  if (before && before.shapes !== frame.shapes) {
    shown = null;
    selected = chosenName ? ([...names.shapes].find(([, name]) => name === chosenName)?.[0] ?? -1) : -1;
    Module._walkerShowRecordedFrame(-1, selected);
  }
  shape = shapeCalls()[selected] ?? null;
  if (same) {
    update(before);
  } else {
    rebuild();
    structure = calls;
  }
  // Edits name calls of this frame's kind: kept and made again while the
  // calls are the same, dropped when they are not. With none, the program's
  // own frame stands: drawing it again would only double the frame's cost.
  const dropped = edits.length > 0 && !same;
  if (dropped) edits = [];
  if (edits.length > 0 || dropped) sendEdits();
  else showWhatIf();
  showWalk();
  showOrder(false);
  showChosen();
  markLed();
  showSource();
  if (wanted) {
    const { view, done } = wanted;
    wanted = null;
    done(showView(view));
  }
};

// A view of the recorded frame (a link's): what of it the frame lacks, or
// nothing once it is shown.
const showView = ({ upto, shape: n, chain, whatif = null }) => {
  // An edit changes an argument a transform has, a swap two transforms.
  const transform = (index) => frame.calls[index] && isTransform(frame.calls[index]);
  if (whatif?.some((e) => (e.swap ? !e.swap.every(transform)
    : !transform(e.call) || e.argument >= ARGUMENT_NAMES[frame.calls[e.call].name].length))) {
    return 'it changes a call of its frame that is no transform';
  }
  if (upto !== null && upto > frame.shapes) return 'it draws more shapes than its frame has';
  const call = n === null ? null : shapeCalls()[n];
  if (n !== null && !call) return 'it chooses a shape its frame does not have';
  shown = upto === null || upto >= frame.shapes ? null : upto;
  if (n === null) redraw(true);
  else select(n);
  // The eye, each transform in force, and the shape itself.
  if (chain !== null && (n === null || chain >= placing.length)) return 'it chooses a step its shape\'s chain does not have';
  if (chain !== null) chooseStep(chain);
  if (whatif) panel.setEdits(whatif);
  return '';
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

// Lays the panel out beside or below the canvas, which stays in view: below
// it, the slider sticks under the canvas; the list fills what is left of
// the window, and scrolls in a box of its own.
const placeSticky = () => {
  const below = section.getBoundingClientRect().top >= screen.getBoundingClientRect().bottom - 1;
  const top = below ? screen.offsetHeight : 0;
  const order = $('inspector-order-row').offsetHeight;
  document.body.style.setProperty('--inspector-top', `${top}px`);
  document.body.style.setProperty('--inspector-tree-height', `${Math.max(160, window.innerHeight - top - order - 8)}px`);
  document.documentElement.style.scrollPaddingTop = open ? `${top + order + 4}px` : '';
};

const setOpen = (now) => {
  if (now === open) return;
  open = now;
  section.hidden = !open;
  document.body.classList.toggle('inspecting', open);
  toggle.setAttribute('aria-expanded', String(open));
  if (open) {
    [frame, structure, taken, shown, selected, shape] = [null, '', 0, null, -1, null];
    wasWalking = Module.walkerWalking();
    tree.replaceChildren();
    Module.walkerKey('p');  // a key the program does not bind: the walk pauses
    walkStatus.textContent = 'Recording the next frame…';
    Module._walkerInspect(1);
    loadSources();
    placeSticky();
    heading.focus({ preventScroll: true });
    tree.parentElement.scrollTop = 0;
    tree.parentElement.scrollIntoView({ block: 'start' });
  } else {
    clearTimeout(readTimer);
    readTimer = 0;
    Module._walkerInspect(0);
    outline.hidden = true;
    axesCanvas.hidden = true;
    edits = [];
    stepShown = null;
    $('inspector-whatif-badge').hidden = true;
    document.documentElement.style.scrollPaddingTop = '';
    if (wasWalking) Module.walkerKey('S');
    $('inspector-closed').textContent = wasWalking
      ? 'The frame inspector is closed, and the walker walks again.'
      : 'The frame inspector is closed; the walk stays paused, as it was.';
    toggle.focus();
  }
};

// The tree's keys (WAI-ARIA's tree pattern); they never reach the program.
const KEYS = {
  ArrowDown: (item, list) => moveTo(list[list.indexOf(item) + 1]),
  ArrowUp: (item, list) => moveTo(list[list.indexOf(item) - 1]),
  Home: (item, list) => moveTo(list[0]),
  End: (item, list) => moveTo(list.at(-1)),
  ArrowRight: (item) => {
    if (item.getAttribute('aria-expanded') === 'false') fold(item, false);
    else if (item.dataset.level) moveTo(item.querySelector('[role=treeitem]'));
  },
  ArrowLeft: (item) => {
    if (item.getAttribute('aria-expanded') === 'true') fold(item, true);
    else moveTo(item.parentElement.closest('[role=treeitem]'));
  },
  Enter: (item) => activate(item),
  ' ': (item) => activate(item),
};

const fold = (item, shut) => {
  item.setAttribute('aria-expanded', String(!shut));
  item.querySelector('[role=group]').hidden = shut;
  if (shut) folded.add(item.dataset.level);
  else folded.delete(item.dataset.level);
};

// A shape's line chooses it (pressed again, it lets go); a level's folds it.
const activate = (item) => {
  if (item.dataset.shape !== undefined) {
    const n = Number(item.dataset.shape);
    select(n === selected ? -1 : n);
  } else if (item.dataset.level) {
    fold(item, item.getAttribute('aria-expanded') === 'true');
  }
};

tree.addEventListener('keydown', (event) => {
  const item = event.target.closest('[role=treeitem]');
  const key = KEYS[event.key];
  if (!item || !key || event.ctrlKey || event.altKey || event.metaKey) return;
  key(item, visibleItems());
  event.preventDefault();
});
tree.addEventListener('click', (event) => {
  const item = event.target.closest('[role=treeitem]');
  if (!item) return;
  rove(item);
  item.focus({ preventScroll: true });
  activate(item);
});
section.addEventListener('keydown', (event) => {
  if (!frame || event.ctrlKey || event.altKey || event.metaKey) return;
  if (event.key === '[' || event.key === ']') {
    showUpTo(shownCount() + (event.key === ']' ? 1 : -1));
    event.preventDefault();
  }
});
// The source's lines: one Tab stop, as the tree; Enter or a click chooses.
const SOURCE_KEYS = {
  ArrowDown: (item) => item.nextElementSibling,
  ArrowUp: (item) => item.previousElementSibling,
  Home: () => sourceList.firstElementChild,
  End: () => sourceList.lastElementChild,
};
const moveToLine = (item) => {
  if (!item) return;
  for (const other of sourceList.querySelectorAll('[tabindex="0"]')) other.tabIndex = -1;
  item.tabIndex = 0;
  item.focus({ preventScroll: true });
  revealLine(item);
};
sourceList.addEventListener('keydown', (event) => {
  const item = event.target.closest('[role=option]');
  if (!item || !frame || event.ctrlKey || event.altKey || event.metaKey) return;
  if (event.key === 'Enter' || event.key === ' ') chooseLine(Number(item.dataset.line));
  else if (SOURCE_KEYS[event.key]) moveToLine(SOURCE_KEYS[event.key](item));
  else return;
  event.preventDefault();
});
sourceList.addEventListener('click', (event) => {
  const item = event.target.closest('[role=option]');
  if (!item || !frame) return;
  moveToLine(item);
  chooseLine(Number(item.dataset.line));
});
fileChooser.addEventListener('change', () => {
  showFile(fileChooser.value);
  showSource();
});
$('inspector-close').addEventListener('click', () => setOpen(false));
$('inspector-chain').addEventListener('click', (event) => {
  const item = event.target.closest('#inspector-chain > li');
  if (!item) return;
  const k = placing.findIndex((step) => step.item === item);
  if (k >= 0) chooseStep(k);
});
$('inspector-link').addEventListener('click', async () => {
  if (!frame) return;
  const { copy } = await import('../open_link.js');
  $('inspector-link-status').textContent = await copy(panel.view());
});
slider.addEventListener('input', () => showUpTo(Number(slider.value)));
$('inspector-previous').addEventListener('click', () => showUpTo(shownCount() - 1));
$('inspector-next').addEventListener('click', () => showUpTo(shownCount() + 1));
// The shape seen where the canvas is clicked; the background chooses none.
canvas.addEventListener('click', (event) => {
  if (!open || !frame) return;
  const rect = canvas.getBoundingClientRect();
  const x = Math.floor((event.clientX - rect.left) * canvas.width / rect.width);
  const y = Math.floor((event.clientY - rect.top) * canvas.height / rect.height);
  select(Module._walkerShapeAt(x, y, shown ?? -1));
});
// Read from the layout as it happens, not forced in the middle of a frame.
new ResizeObserver(([entry]) => {
  canvasWidth = entry.contentRect.width;
}).observe(canvas);
window.addEventListener('resize', () => {
  if (!open) return;
  placeSticky();
  if (frame) showChosen();
});

export const panel = {
  toggle: () => setOpen(!open),
  // Every change of the program's state: a pause or a resume shows here too.
  changed: () => {
    if (open && frame) showWalk();
  },
  // Each frame recorded while the panel is open, at the end of the program's
  // display: read once that display has returned.
  recorded: () => {
    if (open) queueMicrotask(frameRecorded);
  },
  // For the tests: the frame as read, the names the tree gives its shapes
  // and levels, and how many frames have been read since the panel was opened.
  frame: () => frame && {
    ...frame, names: Object.fromEntries(names.shapes), levels: Object.fromEntries(names.levels), taken,
  },
  // The what-if edits as plain data, and the same made anew (for a link).
  edits: () => structuredClone(edits),
  setEdits: (list) => {
    edits = structuredClone(list);
    sendEdits();
    if (frame) showChosen();
  },
  // What the panel shows of its frame, as a link holds it; and a link's
  // view shown once the next frame is read (a promise of what the frame
  // lacks of it, if anything).
  view: () => ({
    beam: [...names.shapes.values()].includes('beam'), upto: shown, shape: selected >= 0 ? selected : null,
    chain: selected >= 0 ? stepShown : null, whatif: edits.length > 0 ? structuredClone(edits) : null,
  }),
  show: (view) => new Promise((done) => {
    wanted = { view, done };
  }),
};
