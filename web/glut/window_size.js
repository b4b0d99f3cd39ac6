// The window on the page. The page's start-up script gives the canvas its
// drawing buffer in device pixels before the program starts; the program's
// request for a 400 x 400 window is its CSS size, which the page's layout
// already gives it. So:
// - glutInitWindowSize notes the size, as GLUT notes it, and leaves the
//   buffer as it is, so that the first frame is drawn at the size it is shown
//   at, once, instead of at 400 x 400 and again when the page sizes it;
// - glutMainLoop gives reshape the buffer's size and draws the first frame at
//   once, as a window system's first expose does, rather than an animation
//   frame later: the page's first frame comes a frame sooner.
// They replace glutInitWindowSize and glutMainLoop of Emscripten 3.1.6's GLUT.
mergeInto(LibraryManager.library, {
  glutInitWindowSize__deps: ['$GLUT'],
  glutInitWindowSize__sig: 'vii',
  glutInitWindowSize: function(width, height) {
    GLUT.initWindowWidth = width;
    GLUT.initWindowHeight = height;
  },

  glutMainLoop__deps: ['$GLUT', '$walkerDrawNow'],
  glutMainLoop__sig: 'v',
  glutMainLoop: function() {
    var canvas = Module['canvas'];
    if (GLUT.reshapeFunc) {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(canvas.width, canvas.height);
    walkerDrawNow();
    throw 'unwind';
  },
});
