// How what the browser's GLUT lacks tells the page: by the page's hooks on
// Module (startup.js sets them), each called when it is there.
// - onWalkerChange: every change of the program's state (a step's redisplay,
//   a key, a pause, a resume).
mergeInto(LibraryManager.library, {
  $walkerTellPage: function(hook) {
    if (Module[hook]) Module[hook]();
  },
});
