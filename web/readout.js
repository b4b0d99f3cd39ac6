// The live readout and plot of the gait, beside the canvas. It reads the
// scene state through the accessors of web/scene_readout.cpp: after every
// redisplay request (each walk step makes one) it notes the step's body
// offset and hip angles, and at most once per animation frame it shows them.
// The gait repeats every cycle, so the last cycle's steps are one value for
// each step of the cycle: the plot runs over the cycle, the current step
// marked.
(function () {
  'use strict';
  if (!window.Module) return;  // no WebGL or WebAssembly: nothing runs
  var PLOT_WIDTH = 320;
  var PLOT_HEIGHT = 100;
  var HIP_RANGE = 90;  // degrees each way
  // While the walker walks, its numbers change at every step, faster than
  // anyone reads them, and each change lays the page out again: they and the
  // plot's marker are shown at most this often then. Paused, every change
  // shows at once.
  var WALKING_TEXT_MS = 100;
  var textShownAt = -Infinity;
  var section = document.getElementById('readout');
  var toggle = document.getElementById('readout-toggle');
  var shown = true;
  var steps = [];  // by step of the cycle: [body offset, leg 0 hip, leg 1 hip]
  var fresh = true;

  function field(name, text) {
    var cell = document.getElementById('readout-' + name);
    if (cell.textContent !== text) cell.textContent = text;
  }
  function degrees(value) {
    return value.toFixed(2) + '°';
  }
  function onOff(flag) {
    return flag ? 'on' : 'off';
  }

  // The plot is drawn again only when a step shows something new: after the
  // first cycle every step repeats what the plot already holds.
  function note() {
    var step = Module._walkerStepInCycle();
    var values = [Module._walkerBodyOffset(), Module._walkerHip(0), Module._walkerHip(1)];
    var known = steps[step];
    if (known && known[0] === values[0] && known[1] === values[1] && known[2] === values[2]) return;
    steps[step] = values;
    fresh = true;
  }

  function plotX(step) {
    return (step * PLOT_WIDTH / (Module._walkerCycleSteps() - 1)).toFixed(1);
  }

  // One polyline point for each step noted, high values at the top.
  function points(value, low, high) {
    var line = [];
    steps.forEach(function (values, step) {
      var y = high > low ? (high - value(values)) / (high - low) * PLOT_HEIGHT : PLOT_HEIGHT / 2;
      line.push(plotX(step) + ',' + y.toFixed(1));
    });
    return line.join(' ');
  }

  function plot() {
    var offsets = steps.filter(Boolean).map(function (values) { return values[0]; });
    var lowest = Math.min.apply(null, offsets);
    var highest = Math.max.apply(null, offsets);
    document.getElementById('plot-offset').setAttribute('points',
      points(function (v) { return v[0]; }, lowest, highest));
    document.getElementById('plot-hip0').setAttribute('points',
      points(function (v) { return v[1]; }, -HIP_RANGE, HIP_RANGE));
    document.getElementById('plot-hip1').setAttribute('points',
      points(function (v) { return v[2]; }, -HIP_RANGE, HIP_RANGE));
    field('lowest', lowest.toFixed(4));
    field('highest', highest.toFixed(4));
    field('noted', String(offsets.length));
  }

  function show() {
    var cycle = Module._walkerCycleSteps();
    var now = performance.now();
    if (GLUT.idleFunc && now - textShownAt < WALKING_TEXT_MS) return;
    textShownAt = now;
    var step = Module._walkerStepInCycle();
    var marker = document.getElementById('plot-now');
    marker.setAttribute('x1', plotX(step));
    marker.setAttribute('x2', plotX(step));
    field('walk', GLUT.idleFunc ? 'walking' : 'paused');
    var phaseSteps = Module._walkerPhaseSteps();
    field('phase', Module._walkerPhase() + ' of ' + cycle / phaseSteps + ', step ' + Module._walkerStepInPhase() +
      ' of ' + phaseSteps);
    field('step', step + ' of ' + cycle);
    field('leg0', 'hip ' + degrees(Module._walkerHip(0)) + ', knee ' + degrees(Module._walkerKnee(0)));
    field('leg1', 'hip ' + degrees(Module._walkerHip(1)) + ', knee ' + degrees(Module._walkerKnee(1)));
    field('offset', Module._walkerBodyOffset().toFixed(4));
    field('turret', Module._walkerTurretYaw() + '°');
    field('legyaw', Module._walkerLegYaw() + '°');
    field('view', 'turn ' + Module._walkerViewYaw() + '°, tilt ' + Module._walkerViewPitch() + '°, distance ' +
      (5 - Module._walkerDollyZ()).toFixed(2));
    field('motion', 'dolly ' + onOff(Module._walkerAutoDolly()) + ', spin ' + onOff(Module._walkerAutoSpin()));
    field('drawing', Module._walkerDrawMode() === 2 ? 'wireframe' : 'solid');
    if (fresh) {
      plot();
      fresh = false;
    }
  }

  function frame() {
    if (shown) show();
    requestAnimationFrame(frame);
  }

  toggle.addEventListener('click', function () {
    shown = !shown;
    section.hidden = !shown;
    toggle.setAttribute('aria-expanded', String(shown));
    toggle.textContent = shown ? 'Hide the readout and plot' : 'Show the readout and plot';
  });

  // The program's start-up ends with a redisplay request, so the starting
  // step is noted too.
  Module.onRedisplayRequest = note;
  Module.onRuntimeInitialized = function () {
    requestAnimationFrame(frame);
  };
  // For the page's benchmark: one readout update, as an animation frame makes it.
  Module.walkerReadoutFrame = function () {
    if (shown) show();
  };
})();
