// Starts the program, or says why it cannot run here. This is the one place
// the program's settings (Module) are made. The build puts it in index.html
// right after the canvas, so that the browser makes the WebGL context while
// walker.js (the program, its WebAssembly inside) arrives and is compiled;
// walker.js runs once the page has been read and before the page is first
// painted (defer, blocking="render"): the program's start-up and its first
// frame come in one task, and the first paint shows the walker. The page's
// own scripts (data-page-scripts on this script's tag) are loaded once that
// paint is done, so that nothing on their way competes with it.
'use strict';
(() => {
  const problem = document.getElementById('problem');
  const canvas = document.getElementById('canvas');
  const pageScripts = document.currentScript.dataset.pageScripts.split(' ');
  const lines = [];
  let painted = false;
  const NARROW_MARGIN = 64;  // CSS pixels: twice the body's padding, and a scrollbar
  // A link to a view (open_link.js, loaded only for one): the walk pauses
  // before its first step, and the link is opened once the page's scripts
  // have run. What a link could not open is in the session's storage.
  const linked = location.hash.length > 1;
  let told = false;
  try {
    told = sessionStorage.length > 0;
  } catch {
    // no storage: nothing kept
  }
  let opening = null;  // open_link.js, on its way
  addEventListener('hashchange', () => location.reload());

  // Runs what needs the whole page once it has been read.
  const whenRead = (what) => {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', what);
    else what();
  };

  // What cannot run is never started: its WebAssembly is never instantiated.
  const fail = (message) => {
    problem.textContent = message;
    problem.hidden = false;
    whenRead(() => {
      for (const id of ['canvas', 'fullscreen', 'readout', 'readout-toggle', 'inspector-toggle', 'keypad']) {
        document.getElementById(id).hidden = true;
      }
    });
    window.Module = Object.assign(window.Module || {}, { instantiateWasm: () => ({}) });
  };

  // In order, each after the one before, then the screen's fit and the
  // readout's start.
  const loadPageScripts = () => {
    pageScripts.forEach((src, i) => {
      const script = document.createElement('script');
      script.src = src;
      script.async = false;
      script.onerror = () => console.warn(`${src} could not be loaded.`);
      if (i === pageScripts.length - 1) {
        script.onload = () => {
          window.walkerScreen.fit();
          window.walkerReadout.start();
          opening?.then((link) => link.open(window.walkerInspector))
            .catch((error) => console.warn(`The link could not be opened: ${error.message}`));
        };
      }
      document.head.appendChild(script);
    });
  };

  // Runs what after the page's first paint (the browser's paint timing; where
  // there is none, a frame later), so that nothing it asks of the network or
  // the machine comes before the walker is on the screen.
  const afterFirstPaint = (what) => {
    if (!(PerformanceObserver.supportedEntryTypes || []).includes('paint')) {
      requestAnimationFrame(() => setTimeout(what));
      return;
    }
    const observer = new PerformanceObserver(() => {
      observer.disconnect();
      what();
    });
    observer.observe({ type: 'paint', buffered: true });
  };

  // A deferred script's failed fetch is told at its turn to run, after this.
  const program = document.getElementById('program');
  program.addEventListener('error', () => fail(`${program.getAttribute('src')} could not be loaded.`));

  if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, so the walker cannot run here. ' +
         'Any current version of Chrome, Firefox, Safari or Edge can.');
    return;
  }
  // The drawing buffer is the canvas's CSS size in device pixels from the
  // start (screen.js keeps it so), so that the first frame is drawn once, at
  // the size it is shown at: a later resize waits for the GPU process, still
  // busy with that frame. Wherever the window is wider than the canvas with
  // room for the page's margins and a scrollbar, that is its size in
  // index.html; only a narrower window needs the page laid out to know it.
  // (A media query asks for no layout; the window's innerWidth would lay
  // the page out here, before the context, rather than while the GPU process
  // draws the first frame.)
  // The buffer for a CSS size: false where it is hidden or already that size.
  // screen.js keeps it so with this too.
  window.walkerSizeBuffer = ({ width, height }) => {
    const w = Math.round(width * window.devicePixelRatio);
    const h = Math.round(height * window.devicePixelRatio);
    if (w === 0 || h === 0 || (w === canvas.width && h === canvas.height)) return false;
    canvas.width = w;
    canvas.height = h;
    return true;
  };
  const wide = matchMedia(`(min-width: ${canvas.width + NARROW_MARGIN}px)`).matches;
  window.walkerSizeBuffer(wide ? { width: canvas.width, height: canvas.height } : canvas.getBoundingClientRect());
  // The walker's one WebGL context, made here so that a browser without
  // WebGL is told so at once, and handed to the program. Its attributes are
  // those GLUT gives the program's window (double-buffered RGB): no alpha,
  // depth, stencil or antialiasing.
  let gl = null;
  try {
    gl = canvas.getContext('webgl', { alpha: false, depth: false, stencil: false, antialias: false });
  } catch (error) {
    console.warn(`No WebGL context: ${error.message}`);
  }
  if (!gl) {
    fail('This browser has no WebGL (or it is turned off), so the walker cannot be drawn. ' +
         'Turn on hardware acceleration or WebGL, or try another browser.');
    return;
  }
  canvas.addEventListener('webglcontextlost', () => {
    fail('The browser took the walker\'s WebGL context away. Reload the page to start again.');
  });

  window.Module = {
    canvas,
    preinitializedWebGLContext: gl,
    // The program's four information lines, on the page (the program starts
    // once the page has been read) and in the console, which has them once
    // the first frame is painted: with developer tools open, each line
    // logged costs the start-up several milliseconds.
    print: (text) => {
      lines.push(text);
      document.getElementById('info').textContent = lines.join('\n');
      if (painted) console.log(text);
    },
    printErr: (text) => console.warn(text),
    onAbort: (what) => fail(`The walker stopped: ${what}`),
    // Every change of the program's state: a step, a key, a pause or a resume.
    // Changes before the readout's script has run are not noted: the plot
    // fills in as the cycle comes round again.
    onWalkerChange: () => {
      window.walkerReadout?.changed();
      window.walkerInspector?.changed();
    },
    // Each frame the frame inspector has recorded, while it is open.
    onWalkerFrameRecorded: () => window.walkerInspector?.recorded(),
    // After main, which draws the first frame.
    postRun: () => {
      if (linked) Module.walkerKey('p');
      if (linked || told) opening = import('./open_link.js');
      afterFirstPaint(() => {
        painted = true;
        for (const line of lines) console.log(line);
        loadPageScripts();
      });
    },
  };
})();
