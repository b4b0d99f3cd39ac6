// Keys in the browser, delivered as the desktop GLUT delivers them: every
// character key reaches the keyboard callback as the character typed (Shift
// with 1 is '!', which pauses, not '1'), and the arrow, function and page
// keys reach the special-key callback with GLUT's codes.
//
// The browser's own GLUT guesses characters from key codes, so Shift with a
// digit arrives as the digit and several punctuation keys arrive as nothing;
// this bridge takes the character from the event itself instead. It listens
// where GLUT does, on the whole window, so keys work once the page has focus.
// It replaces GLUT's key handler and glutKeyboardFunc of Emscripten 3.1.6.
// Some keys change what the page shows without a redisplay (the dolly and
// spin switches), so every key delivered tells the page (onWalkerChange, tell_page.js).
mergeInto(LibraryManager.library, {
  $walkerKeys__deps: ['$GLUT', '$Browser', '$walkerTellPage'],
  $walkerKeys__postset: 'GLUT.onKeydown = walkerKeys.onKeydown; Module["walkerKey"] = walkerKeys.send;',
  $walkerKeys: {
    SPECIAL: {
      F1: 1, F2: 2, F3: 3, F4: 4, F5: 5, F6: 6, F7: 7, F8: 8, F9: 9, F10: 10, F11: 11, F12: 12,
      ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103,
      PageUp: 104, PageDown: 105, Home: 106, End: 107, Insert: 108,
    },
    // Keys that type a control character on the desktop.
    NAMED: { Backspace: 8, Tab: 9, Enter: 13, Escape: 27, Delete: 127 },

    // The character a key value types, as the desktop's 8-bit key code, or
    // null: characters beyond Latin-1 type nothing, as on the desktop.
    character: function(key) {
      if (key in walkerKeys.NAMED) return walkerKeys.NAMED[key];
      var chars = Array.from(key);
      if (chars.length !== 1) return null;  // "Shift", "Dead", "Unidentified", ...
      var code = chars[0].codePointAt(0);
      return code >= 1 && code <= 255 ? code : null;
    },

    // Delivers one key, named as a KeyboardEvent names it ("a", "!", "ArrowUp",
    // "Escape"); false when it means nothing to the program.
    send: function(key) {
      var special = walkerKeys.SPECIAL[key];
      if (special !== undefined) {
        if (!GLUT.specialFunc) return false;
        {{{ makeDynCall('viii', 'GLUT.specialFunc') }}}(special, Browser.mouseX, Browser.mouseY);
        return true;
      }
      var code = walkerKeys.character(key);
      if (code === null || !GLUT.keyboardFunc) return false;
      {{{ makeDynCall('viii', 'GLUT.keyboardFunc') }}}(code, Browser.mouseX, Browser.mouseY);
      walkerTellPage('onWalkerChange');
      return true;
    },

    onKeydown: function(event) {
      // Shortcuts with Ctrl, Alt or Meta stay the browser's (AltGr, which
      // types characters on many layouts, is not one of them).
      var altGraph = event.getModifierState && event.getModifierState('AltGraph');
      if (event.isComposing || event.metaKey || ((event.ctrlKey || event.altKey) && !altGraph)) return;
      // Enter and space on a focused button press that button.
      if ((event.key === 'Enter' || event.key === ' ') && event.target.closest &&
          event.target.closest('button, a[href], input, select, textarea')) return;
      // Keys that a part of the page names as its own (data-page-keys, on
      // it or around it: the frame inspector's slider and [ and ]) are its.
      // The space bar is named Space there.
      var owner = event.target.closest && event.target.closest('[data-page-keys]');
      var name = event.key === ' ' ? 'Space' : event.key;
      if (owner && owner.getAttribute('data-page-keys').split(' ').indexOf(name) >= 0) return;
      GLUT.saveModifiers(event);
      if (!walkerKeys.send(event.key)) return;
      // Arrows and space must not scroll the page. Tab still moves the focus,
      // so the keyboard is never trapped; the function keys stay the
      // browser's too (reload, full screen, developer tools).
      if (event.key !== 'Tab' && !/^F\d+$/.test(event.key)) event.preventDefault();
    },
  },

  // Registering the keyboard callback is what brings the bridge in.
  glutKeyboardFunc__deps: ['$GLUT', '$walkerKeys'],
  glutKeyboardFunc__sig: 'vi',
  glutKeyboardFunc: function(func) {
    GLUT.keyboardFunc = func;
  },
});
