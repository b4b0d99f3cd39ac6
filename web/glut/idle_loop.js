// The idle callback in the browser: GLUT's idle moments become timer turns
// of the page, at most one every 4 ms (the browser's shortest timer), so the
// walk runs at up to about 250 steps a second.
//
// The browser's own GLUT starts a new chain of timers whenever the idle
// callback is set while none is, even if the previous chain's next turn is
// still pending: a pause and a resume within 4 ms would leave two chains,
// and the walk would run twice as fast for good. Here one chain at most is
// ever pending. It replaces glutIdleFunc of Emscripten 3.1.6's GLUT.
//
// Pausing and resuming change what the page shows, so each tells the page
// (onWalkerChange, tell_page.js); Module.walkerWalking() says whether the walk runs.
mergeInto(LibraryManager.library, {
  $walkerIdle__deps: ['$GLUT', '$safeSetTimeout'],
  $walkerIdle__postset: 'Module["walkerWalking"] = function() { return !!GLUT.idleFunc; };',
  $walkerIdle: {
    pending: false,
    schedule: function(delay) {
      if (walkerIdle.pending || !GLUT.idleFunc) return;
      walkerIdle.pending = true;
      safeSetTimeout(walkerIdle.turn, delay);
    },
    turn: function() {
      walkerIdle.pending = false;
      if (!GLUT.idleFunc) return;
      {{{ makeDynCall('v', 'GLUT.idleFunc') }}}();
      walkerIdle.schedule(4);
    },
  },

  glutIdleFunc__deps: ['$GLUT', '$walkerIdle', '$walkerTellPage'],
  glutIdleFunc__sig: 'vi',
  glutIdleFunc: function(func) {
    GLUT.idleFunc = func;
    walkerIdle.schedule(0);
    walkerTellPage('onWalkerChange');
  },
});
