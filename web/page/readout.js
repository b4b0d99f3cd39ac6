// The live readout and plot of the gait, beside the canvas. It reads the
// scene state through the program's accessors (Module._walker..., and
// Module.walkerWalking) and is told of every change (walkerReadout.changed:
// each walk step, each key, pausing and resuming): it notes each step's body
// offset and hip angles, and shows what changed in the next animation frame.
// Nothing changes, nothing runs. The gait repeats every cycle, so the last
// cycle's steps are one value for each step of the cycle: the plot runs over
// the cycle, the current step marked.
'use strict';
window.walkerReadout = (() => {
  // Each of the plot's two bands, in the SVG's units, and the hip angles'
  // range each way, in degrees, as index.html lays the plot out.
  const { bandWidth, bandHeight, hipRange } = document.getElementById('plot').dataset;
  const PLOT_WIDTH = Number(bandWidth);
  const PLOT_HEIGHT = Number(bandHeight);
  const HIP_RANGE = Number(hipRange);
  // While the walker walks, its numbers change at every step, faster than
  // anyone reads them, and each showing lays the page out and paints the plot
  // again: they are shown at most this often then (twice a second keeps the
  // readout's share of the walking page's work under a fifth). Paused, every
  // change shows at once.
  const WALKING_TEXT_MS = 500;
  const section = document.getElementById('readout');
  const toggle = document.getElementById('readout-toggle');
  const steps = [];  // by step of the cycle: [body offset, leg 0 hip, leg 1 hip]
  let shown = true;
  let started = false;
  let shownAt = -Infinity;
  let shownWalking = false;  // the walk as last shown
  let fresh = true;  // the plot lacks a step noted since it was drawn
  let framePending = false;  // a showing waits for the next frame
  let timer = 0;  // a walking change waits for this timeout

  const field = (name, text) => {
    const cell = document.getElementById(`readout-${name}`);
    if (cell.textContent !== text) cell.textContent = text;
  };
  const attribute = (element, name, value) => {
    if (element.getAttribute(name) !== value) element.setAttribute(name, value);
  };
  const degrees = (value) => `${value.toFixed(2)}°`;
  const onOff = (flag) => (flag ? 'on' : 'off');
  const plotX = (step) => (step * PLOT_WIDTH / (Module._walkerCycleSteps() - 1)).toFixed(1);

  // Each step's values once: after the first cycle every step repeats what
  // the plot already holds, and the plot is not drawn again.
  const note = () => {
    const step = Module._walkerStepInCycle();
    const values = [Module._walkerBodyOffset(), Module._walkerHip(0), Module._walkerHip(1)];
    const known = steps[step];
    if (known && values.every((value, i) => value === known[i])) return;
    steps[step] = values;
    fresh = true;
  };

  // One polyline point for each step noted, high values at the top.
  const points = (index, low, high) => steps.map((values, step) => {
    const y = high > low ? (high - values[index]) / (high - low) * PLOT_HEIGHT : PLOT_HEIGHT / 2;
    return `${plotX(step)},${y.toFixed(1)}`;
  }).filter(Boolean).join(' ');

  const plot = () => {
    const offsets = steps.filter(Boolean).map((values) => values[0]);
    const lowest = Math.min(...offsets);
    const highest = Math.max(...offsets);
    document.getElementById('plot-offset').setAttribute('points', points(0, lowest, highest));
    document.getElementById('plot-hip0').setAttribute('points', points(1, -HIP_RANGE, HIP_RANGE));
    document.getElementById('plot-hip1').setAttribute('points', points(2, -HIP_RANGE, HIP_RANGE));
    field('lowest', lowest.toFixed(4));
    field('highest', highest.toFixed(4));
    field('noted', String(offsets.length));
  };

  const show = () => {
    framePending = false;
    if (!shown) return;
    shownAt = performance.now();
    shownWalking = Module.walkerWalking();
    const cycle = Module._walkerCycleSteps();
    const phaseSteps = Module._walkerPhaseSteps();
    const step = Module._walkerStepInCycle();
    const marker = document.getElementById('plot-now');
    attribute(marker, 'x1', plotX(step));
    attribute(marker, 'x2', plotX(step));
    field('walk', shownWalking ? 'walking' : 'paused');
    field('phase', `${Module._walkerPhase()} of ${cycle / phaseSteps}, step ${Module._walkerStepInPhase()} of ${phaseSteps}`);
    field('step', `${step} of ${cycle}`);
    field('leg0', `hip ${degrees(Module._walkerHip(0))}, knee ${degrees(Module._walkerKnee(0))}`);
    field('leg1', `hip ${degrees(Module._walkerHip(1))}, knee ${degrees(Module._walkerKnee(1))}`);
    field('offset', Module._walkerBodyOffset().toFixed(4));
    field('turret', `${Module._walkerTurretYaw()}°`);
    field('legyaw', `${Module._walkerLegYaw()}°`);
    field('view', `turn ${Module._walkerViewYaw()}°, tilt ${Module._walkerViewPitch()}°, ` +
      `distance ${Module._walkerViewDistance().toFixed(2)}`);
    field('motion', `dolly ${onOff(Module._walkerAutoDolly())}, spin ${onOff(Module._walkerAutoSpin())}`);
    field('drawing', Module._walkerWireframe() ? 'wireframe' : 'solid');
    if (fresh) {
      plot();
      fresh = false;
    }
  };

  // One showing for however many changes come before it; hidden, none.
  // While walking, a change waits until WALKING_TEXT_MS after the last
  // showing, then for the next frame; any other change (a pause, a resume, a
  // key while paused) shows in the next frame, whatever wait is pending.
  const nextFrame = () => {
    clearTimeout(timer);
    timer = 0;
    framePending = true;
    requestAnimationFrame(show);
  };
  const request = () => {
    if (!started || !shown || framePending) return;
    const wait = Module.walkerWalking() && shownWalking ? shownAt + WALKING_TEXT_MS - performance.now() : 0;
    if (wait <= 0) nextFrame();
    else if (!timer) timer = setTimeout(nextFrame, wait);
  };

  toggle.addEventListener('click', () => {
    shown = !shown;
    section.hidden = !shown;
    toggle.setAttribute('aria-expanded', String(shown));
    toggle.textContent = shown ? 'Hide the readout and plot' : 'Show the readout and plot';
    if (shown && started) show();  // current at once, whatever happened while hidden
  });

  return {
    changed: () => {
      note();
      request();
    },
    // After the program's start-up. The first showing (and the plot's first
    // drawing) waits for the frame after the walker's first frame, which is
    // drawn in this one.
    start: () => requestAnimationFrame(() => {
      field('cycle', String(Module._walkerCycleSteps()));
      started = true;
      request();
    }),
    // For the page's benchmark: one showing, as an animation frame makes it.
    show,
  };
})();
