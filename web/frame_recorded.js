// Tells the page that the frame inspector has recorded a whole frame
// (Module.onWalkerFrameRecorded), at the end of the program's display.
mergeInto(LibraryManager.library, {
  walkerFrameRecorded__sig: 'v',
  walkerFrameRecorded: function() {
    if (Module['onWalkerFrameRecorded']) Module['onWalkerFrameRecorded']();
  },
});
