// glutPostRedisplay as the browser's GLUT does it (the frame is drawn at the
// next animation frame, once however many requests came before it), and then
// a word to the page (onWalkerChange). Every walk step makes one request, so
// the page's readout sees every step, not only those that end a drawn frame.
// It replaces glutPostRedisplay of Emscripten 3.1.6's GLUT; walkerDrawNow is
// the one place a frame is drawn.
mergeInto(LibraryManager.library, {
  $walkerDrawNow__deps: ['$GLUT', '$Browser'],
  $walkerDrawNow: function() {
    if (!GLUT.displayFunc) return;
    Browser.mainLoop.runIter(function() {
      {{{ makeDynCall('v', 'GLUT.displayFunc') }}}();
    });
  },

  glutPostRedisplay__deps: ['$GLUT', '$Browser', '$walkerDrawNow', '$walkerTellPage'],
  glutPostRedisplay__sig: 'v',
  glutPostRedisplay: function() {
    if (GLUT.displayFunc && !GLUT.requestedAnimationFrame) {
      GLUT.requestedAnimationFrame = true;
      Browser.requestAnimationFrame(function() {
        GLUT.requestedAnimationFrame = false;
        walkerDrawNow();
      });
    }
    walkerTellPage('onWalkerChange');
  },
});
