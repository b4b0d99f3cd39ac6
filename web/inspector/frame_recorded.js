// How the frame inspector's recorder tells the page that a frame has been
// recorded: Module.onWalkerFrameRecorded, through the page's one way of
// being told (glut/tell_page.js).
mergeInto(LibraryManager.library, {
  walkerFrameRecorded__deps: ['$walkerTellPage'],
  walkerFrameRecorded__sig: 'v',
  walkerFrameRecorded: function() {
    walkerTellPage('onWalkerFrameRecorded');
  },
});
