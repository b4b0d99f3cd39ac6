// How what the browser's GLUT lacks tells the page: by the page's hooks on
// Module (startup.js sets them), each called when it is there.
// - onWalkerChange: every change of the program's state (a step's redisplay,
//   a key, a pause, a resume);
// - onWalkerFrameRecorded: each frame the frame inspector has recorded.
mergeInto(LibraryManager.library, {
  $walkerTellPage: function(hook) {
    if (Module[hook]) Module[hook]();
  },

  walkerFrameRecorded__deps: ['$walkerTellPage'],
  walkerFrameRecorded__sig: 'v',
  walkerFrameRecorded: function() {
    walkerTellPage('onWalkerFrameRecorded');
  },
});
